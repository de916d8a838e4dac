"""The library's two roads: snr() over a whole recording, and Stream, one live context."""

import ctypes
import operator
import threading
from collections import namedtuple

import numpy as np

from . import _trace
from ._library import library, trace_library
from .errors import TesselError

Snr = namedtuple("Snr", "speech_begin speech_end db")
Snr.__doc__ = """Speech span in samples (first sample of the first speech frame, first sample of
the frame after the speech) and the speech level over the noise level in dB."""

Utterance = namedtuple("Utterance", "begin end")
Utterance.__doc__ = """Begin and end of the current utterance in input samples; None while
unknown."""


class Pushed:
    """What one push() did: `changes`, the Utterance after each frame that changed the begin or
    the end, in order (empty when none did); `ended`, True once an utterance end is known. Its
    truth value is `ended`."""

    __slots__ = ("changes", "ended")

    def __init__(self, changes, ended):
        self.changes, self.ended = changes, ended

    def __bool__(self):
        return self.ended

    def __repr__(self):
        return f"Pushed(changes={self.changes!r}, ended={self.ended!r})"


_UNKNOWN = (-1, -1)  # begin and end as the library gives them before any is known
DEFAULT_THRESHOLD = 156  # a new context's minimum energy threshold (tessel.h)
_INT32 = (-(2**31), 2**31 - 1)
# Tessel_GetSNR only tests its handle against null.
_ANY_HANDLE = ctypes.c_int32()


def _utterance(begin, end):
    return Utterance(None if begin < 0 else begin, None if end < 0 else end)


def _int32(value, name):
    try:
        value = operator.index(value)
    except TypeError:
        raise TypeError(f"{name} must be an integer, not {type(value).__name__}") from None
    if not _INT32[0] <= value <= _INT32[1]:
        raise ValueError(f"{name} {value} does not fit in 32 bits")
    return value


def _int16_samples(samples, name):
    if not isinstance(samples, np.ndarray) or samples.dtype != np.int16:
        if isinstance(samples, np.ndarray):
            kind = f"{samples.dtype} array"
        else:
            kind = type(samples).__name__
        raise TypeError(f"{name} must be a numpy int16 array, not {kind}")
    if samples.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional (mono), not of shape {samples.shape}")
    return np.ascontiguousarray(samples)


def float32_text_value(value):
    """The float32 `value` as the double its shortest decimal reads as: 19.54, not 19.5400009."""
    return float(str(np.float32(value)))


def snr(samples):
    """Speech span and SNR of a whole recording: a one-dimensional numpy int16 array at any rate.

    Frames of 256 samples start every 128 samples; a recording of 256 samples or fewer holds no
    frame and gives Snr(0, 0, 0.0). Any thread may call this at any time.
    """
    samples = _int16_samples(samples, "samples")
    count = _int32(samples.size, "the sample count")
    begin, end, db = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_float()
    status = library().Tessel_GetSNR(
        ctypes.addressof(_ANY_HANDLE), samples.ctypes.data, count, begin, end, db
    )
    if status != 0:
        raise TesselError(f"Tessel_GetSNR failed with status {status}")
    return Snr(begin.value, end.value, float32_text_value(db.value))


class Stream:
    """One live end-point detection context for one input rate and frame size.

    Push the recording with push(), a frame or many at a time; it returns the changes they made
    to `utterance`, which tells where the current utterance begins and ends. Close it with close(), or use it in a `with` block. Different
    streams share nothing. One stream may be shared by threads: its calls run one at a time,
    close() waits for a call in progress, and every call after close() raises ValueError.

    With trace=True the stream also records what the end-point detector did on every frame it
    analysed; read the records from `trace`. Such a stream runs on libtessel_trace.so, which the
    native build installs beside libtessel.so (or the file TESSEL_TRACE_LIBRARY names), with
    the same results; where there is none, as on Windows, LibraryNotFoundError says so.
    """

    def __init__(self, rate, frame_size, *, trace=False):
        # The library takes one call at a time on a context, and ctypes lets other threads run
        # during each call: without this lock, close() during a push() frees what it reads.
        self._lock = threading.Lock()
        self._context = None
        self.rate = _int32(rate, "rate")
        self.frame_size = _int32(frame_size, "frame_size")
        self._records = self._observer = None
        # The observer's setter takes only contexts of its own library.
        self._library = trace_library() if trace else library()
        self._context = self._library.Tessel_Init(self.rate, self.frame_size)
        if not self._context:
            raise ValueError(
                f"the library refuses a context for {self.rate} Hz with frames of "
                f"{self.frame_size} samples: rates are 8000, 11025, 16000, 22050, 44100 and "
                "48000 Hz, frames even and 10 to 20 ms long (tessel.h has the exact rule)"
            )
        self._threshold = DEFAULT_THRESHOLD
        self._begin, self._end = ctypes.c_int32(), ctypes.c_int32()
        self._last = _UNKNOWN
        if trace:
            self._records = bytearray()
            self._observer = _trace.observer(self._records)
            self._library.TesselTrace_SetObserver(self._context, self._observer, None)

    def _live_context(self):
        if not self._context:
            raise ValueError("the stream is closed")
        return self._context

    def push(self, samples):
        """Pushes one or more whole frames of frame_size int16 samples, analysed frame by frame
        as if pushed one at a time. Returns Pushed: `changes`, the Utterance after each frame
        that changed its begin or end, in order; and `ended`, also its truth value, True once an
        utterance end is known (and on every later push until reset())."""
        samples = _int16_samples(samples, "samples")
        if samples.size == 0 or samples.size % self.frame_size:
            raise ValueError(
                f"samples has {samples.size} samples; this stream takes one or more whole "
                f"frames of {self.frame_size}"
            )
        changes, ended = [], False
        address, step = samples.ctypes.data, self.frame_size * samples.itemsize
        add, read = self._library.Tessel_AddSample, self._library.Tessel_GetUttrEPD
        begin, end = self._begin, self._end
        with self._lock:
            context = self._live_context()
            for offset in range(0, samples.size * samples.itemsize, step):
                ended = add(context, address + offset) == 1
                read(context, begin, end)
                current = (begin.value, end.value)
                if current != self._last:
                    changes.append(_utterance(*current))
                    self._last = current
        return Pushed(tuple(changes), ended)

    def _read_utterance(self, context):
        self._library.Tessel_GetUttrEPD(context, self._begin, self._end)
        return _utterance(self._begin.value, self._end.value)

    @property
    def utterance(self):
        """The current utterance: Utterance(begin, end) in input samples, None while unknown."""
        with self._lock:
            return self._read_utterance(self._live_context())

    @property
    def threshold(self):
        """The detector's minimum energy threshold: higher values ignore quieter speech."""
        return self._threshold

    @threshold.setter
    def threshold(self, value):
        value = _int32(value, "threshold")
        with self._lock:
            self._library.Tessel_SetVADThreshold(self._live_context(), value)
            self._threshold = value

    def reset(self):
        """Starts the stream again; rate, frame size and threshold stay."""
        with self._lock:
            self._library.Tessel_Reset(self._live_context())
            self._last = _UNKNOWN

    @property
    def trace(self):
        """What the detector did on every frame it analysed, for a stream made with trace=True:
        a new numpy structured array of dtype tessel.TRACE_DTYPE, one record per 8 kHz frame, in
        the order analysed and with the columns of `tessel analyze --trace` (TRACE_STATES and
        TRACE_EVENTS name the codes of `state` and `event`). A push that changes `utterance`
        adds the record that declares the new begin or end. Records are kept from
        creation on, also after reset() (whose first frame is frame 1 again) and close(); 72
        bytes each, about 13 MB an hour at 20 ms frames."""
        if self._records is None:
            raise ValueError("this stream was made without trace=True: it keeps no trace")
        # A push on another thread appends to the records, which cannot grow while read.
        with self._lock:
            return _trace.records_of(self._records)

    @property
    def closed(self):
        return not self._context

    def close(self):
        """Frees the context, once a call in progress on another thread has returned; closing
        twice does nothing."""
        with self._lock:
            context, self._context = self._context, None
            if context:
                self._library.Tessel_Release(context)
            # Nothing calls the observer once the context is gone; the records stay readable.
            self._observer = None

    def __enter__(self):
        self._live_context()
        return self

    def __exit__(self, *exc_info):
        self.close()

    def __del__(self):
        self.close()


def banner():
    """The library's two-line version banner."""
    return library().Tessel_VerInfo().decode("ascii", "replace")
