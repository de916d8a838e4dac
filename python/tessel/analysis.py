"""analyze_file(): a recording from disk streamed through a context the way `tessel analyze`
streams it, with the same utterances, SNR, JSON object and one-line failure reasons; and
utterances(), the same utterances one by one, of a file or of samples in memory."""

import functools
import json
import math
import os
from collections import namedtuple

import numpy as np

from . import _reasons
from ._library import library
from ._recording import read_recording
from .core import Stream, Utterance, _int16_samples, _int32, snr
from .errors import AnalysisError

# The rates a context accepts (tessel.h).
SUPPORTED_RATES = (8000, 11025, 16000, 22050, 44100, 48000)

UtteranceSpan = namedtuple("UtteranceSpan", "begin end begin_seconds end_seconds")
UtteranceSpan.__doc__ = """One utterance as `tessel analyze` lists it: begin and end in input
samples and in seconds; end and end_seconds are None for one still open at the recording's end."""

# Samples handed to one push() while streaming a recording: a second or so of frames.
_BLOCK_SAMPLES = 1 << 16


def analyze_file(path, *, channel=0, frame_ms=20, frame_size=None, threshold=None):
    """Analyses one recording as `tessel analyze --json` does; returns the same JSON object as a
    dict: every utterance a live host would have seen, and the whole-recording SNR.

    Any format libsndfile reads; the chosen channel is brought to 16 bits. Frames default to
    about 20 ms (frame_ms 10 or 20), or exactly frame_size samples; threshold sets the
    detector's minimum energy threshold. Raises AnalysisError when the file cannot be analysed.
    """
    path = os.fsdecode(path)
    channel = _int32(channel, "channel")
    if channel < 0:
        raise ValueError(f"channel {channel} is negative; channels count from 0")
    _check_frame_ms(frame_ms)
    if threshold is not None:
        threshold = _int32(threshold, "threshold")

    samples, rate, channels, warning = read_recording(path, channel)
    frame_size = _checked_frame_size(path, rate, frame_ms, frame_size)
    found = list(_stream(samples, rate, frame_size, threshold))
    estimate = snr(samples)
    measurable = samples.size > 256
    has_span = measurable and estimate.speech_end > estimate.speech_begin
    result = {
        "file": path,
        "sampleRate": rate,
        "channels": channels,
        "channel": channel,
        "samples": samples.size,
        "seconds": samples.size / rate,
        "frameSize": frame_size,
        "vadThreshold": threshold,
        "utterances": [
            {
                "beginSample": span.begin,
                "endSample": span.end,
                "beginSeconds": span.begin_seconds,
                "endSeconds": span.end_seconds,
            }
            for span in found
        ],
        "snrDb": estimate.db if measurable and math.isfinite(estimate.db) else None,
        "speech": {
            "beginSample": estimate.speech_begin,
            "endSample": estimate.speech_end,
            "beginSeconds": estimate.speech_begin / rate,
            "endSeconds": estimate.speech_end / rate,
        }
        if has_span
        else None,
    }
    if warning:
        result["warning"] = warning
    return result


def utterances(recording, rate=None, frame_ms=20):
    """Yields every utterance a live host would have seen, as `tessel analyze` lists them: a
    UtteranceSpan of begin and end in samples and in seconds, end None for an utterance still
    open when the recording ends. Each comes as soon as its end is known.

    recording is a file's path (channel 0 of any format libsndfile reads; rate must then be
    None) or a one-dimensional numpy int16 array at `rate` Hz. Frames are about frame_ms long
    (10 or 20), as the command line chooses them. A file that cannot be analysed raises
    AnalysisError with the command line's reason.
    """
    _check_frame_ms(frame_ms)
    if isinstance(recording, np.ndarray):
        if rate is None:
            raise TypeError("utterances() of an array needs its rate")
        samples, rate, where = _int16_samples(recording, "recording"), _int32(rate, "rate"), None
    else:
        if rate is not None:
            raise TypeError("utterances() of a file takes the file's own rate: rate must be None")
        where = os.fsdecode(recording)
        samples, rate, _, _ = read_recording(where, 0)
    frame_size = _checked_frame_size(where, rate, frame_ms, None)
    yield from _stream(samples, rate, frame_size, None)


def _check_frame_ms(frame_ms):
    if frame_ms not in (10, 20):
        raise ValueError(f"frame_ms must be 10 or 20, not {frame_ms!r}")


def _checked_frame_size(path, rate, frame_ms, frame_size):
    """The frame size the command line would use, or its reason for refusing the recording:
    AnalysisError for a file, ValueError for samples in memory (path None)."""
    if rate not in SUPPORTED_RATES:
        reason = _reasons.unsupported_rate(rate, SUPPORTED_RATES)
    else:
        if frame_size is None:
            frame_size = _frame_size_for_ms(rate, frame_ms)
        frame_size = _int32(frame_size, "frame_size")
        if _accepts(rate, frame_size):
            return frame_size
        reason = _reasons.frame_size_misfit(rate, frame_size)
    if path is None:
        raise ValueError(reason)
    raise AnalysisError(path, reason)


def analyze_line(path, options):
    """analyze_file(path, **options) as the CLI's JSON line, with the failure's one-line text
    (None when it succeeded); what tessel.batch runs on a worker for each file."""
    try:
        return json_line(analyze_file(path, **options)), None
    except AnalysisError as error:
        return error_line(path, error.reason), str(error)


def json_line(result):
    """One result of analyze_file() as the line `tessel analyze --json` prints for it."""
    return _dump(result)


def error_line(path, reason):
    """The line `tessel analyze --json` prints for a file it could not analyse."""
    return _dump({"file": os.fspath(path), "error": reason})


def _dump(obj):
    # The CLI writes names that are not UTF-8 with U+FFFD in place of the bad bytes.
    obj = dict(obj, file=os.fsencode(obj["file"]).decode("utf-8", "replace"))
    return json.dumps(obj, ensure_ascii=False, separators=(",", ":")) + "\n"


def _stream(samples, rate, frame_size, threshold):
    """Every utterance a host reading begin and end after each push would have seen, as
    UtteranceSpan records, each as soon as its end is known; an utterance still open when the
    recording ends comes last with end None. A new begin replaces the old one while the end
    stays, so an utterance is complete exactly when the end changes, and it pairs with the begin
    known at that moment."""
    usable = samples.size - samples.size % frame_size
    begin_pending = False
    last = Utterance(None, None)
    with Stream(rate, frame_size) as stream:
        if threshold is not None:
            stream.threshold = threshold
        # A block of frames at a time: the changes are those of pushing frame by frame.
        block = frame_size * max(1, _BLOCK_SAMPLES // frame_size)
        for start in range(0, usable, block):
            for change in stream.push(samples[start : min(start + block, usable)]).changes:
                if change.begin is not None and change.begin != last.begin:
                    begin_pending = True
                if change.end is not None and change.end != last.end:
                    yield _span(change.begin, change.end, rate)
                    begin_pending = False
                last = change
    if begin_pending:
        yield _span(last.begin, None, rate)


def _span(begin, end, rate):
    return UtteranceSpan(begin, end, begin / rate, None if end is None else end / rate)


@functools.lru_cache(maxsize=None)
def _accepts(rate, frame_size):
    # The library alone decides which frame sizes a context takes.
    context = library().Tessel_Init(rate, frame_size)
    if not context:
        return False
    library().Tessel_Release(context)
    return True


def _frame_size_for_ms(rate, frame_ms):
    # 20 ms: the largest accepted size not above rate/50; 10 ms: the smallest not below rate/100.
    if frame_ms == 20:
        sizes = range(rate // 50, rate // 100 - 1, -1)
    else:
        sizes = range(rate // 100, rate // 50 + 1)
    return next((size for size in sizes if _accepts(rate, size)), 0)
