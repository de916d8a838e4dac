"""The detector's per-frame records as numpy sees them, and the observer that gathers them."""

import ctypes

import numpy as np

from ._library import TRACE_OBSERVER

# The library's record, field for field: 18 native-endian four-byte values. The names are the
# columns of `tessel analyze --trace`; `state` and `event` hold codes where the CSV has words.
TRACE_DTYPE = np.dtype([
    ("frame", "=i4"),
    ("sample", "=i4"),
    ("seconds", "=f4"),
    ("state", "=i4"),
    ("event", "=i4"),
    ("energy", "=f4"),
    ("threshold", "=i4"),
    ("peak", "=i4"),
    ("floor", "=i4"),
    ("pitch_hz", "=f4"),
    ("pitch_lag", "=f4"),
    ("voiced", "=i4"),
    ("speech_like", "=i4"),
    ("run", "=i4"),
    ("begin_candidate", "=i4"),
    ("end_candidate", "=i4"),
    ("begin", "=i4"),
    ("end", "=i4"),
])

# The CSV's words for the codes: TRACE_STATES[record["state"]], TRACE_EVENTS[record["event"]].
# Event 2 is a frame inside an utterance on which nothing was declared; the CSV leaves it empty.
TRACE_STATES = ("filling", "waiting", "utterance", "ended")
TRACE_EVENTS = ("", "begin", "", "end")


def observer(records):
    """A C observer that appends each record's raw bytes to the bytearray `records`. It holds
    nothing but `records`, so a stream that keeps it makes no reference cycle."""
    size, string_at = TRACE_DTYPE.itemsize, ctypes.string_at
    extend = records.extend

    def keep(_user, record):
        extend(string_at(record, size))

    return TRACE_OBSERVER(keep)


def records_of(records):
    """A copy of the gathered bytes as an array of TRACE_DTYPE: the bytearray may grow on."""
    return np.frombuffer(records, TRACE_DTYPE).copy()
