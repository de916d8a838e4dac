"""analyze_file(): a recording from disk streamed through a context the way `tessel analyze`
streams it, with the same utterances, SNR, JSON object and one-line failure reasons."""

import functools
import json
import math
import os

from . import _reasons
from ._library import library
from ._recording import read_recording
from .core import Stream, _int32, snr
from .errors import AnalysisError

# The rates a context accepts (tessel.h).
SUPPORTED_RATES = (8000, 11025, 16000, 22050, 44100, 48000)


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
    if frame_ms not in (10, 20):
        raise ValueError(f"frame_ms must be 10 or 20, not {frame_ms!r}")
    if threshold is not None:
        threshold = _int32(threshold, "threshold")

    samples, rate, channels, warning = read_recording(path, channel)
    if rate not in SUPPORTED_RATES:
        raise AnalysisError(path, _reasons.unsupported_rate(rate, SUPPORTED_RATES))
    if frame_size is None:
        frame_size = _frame_size_for_ms(rate, frame_ms)
    frame_size = _int32(frame_size, "frame_size")
    if not _accepts(rate, frame_size):
        raise AnalysisError(path, _reasons.frame_size_misfit(rate, frame_size))

    utterances = _stream(samples, rate, frame_size, threshold)
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
                "beginSample": begin,
                "endSample": end,
                "beginSeconds": begin / rate,
                "endSeconds": None if end is None else end / rate,
            }
            for begin, end in utterances
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
    (begin, end) pairs; an utterance still open when the recording ends comes last with end
    None. A new begin replaces the old one while the end stays, so an utterance is complete
    exactly when the end changes, and it pairs with the begin known at that moment."""
    completed, last_begin, last_end, begin_pending = [], -1, -1, False
    with Stream(rate, frame_size) as stream:
        if threshold is not None:
            stream.threshold = threshold
        for start in range(0, samples.size - frame_size + 1, frame_size):
            stream.push(samples[start : start + frame_size])
            begin, end = (-1 if value is None else value for value in stream.utterance)
            if begin >= 0 and begin != last_begin:
                begin_pending = True
            if end >= 0 and end != last_end:
                completed.append((begin, end))
                begin_pending = False
            last_begin, last_end = begin, end
    if begin_pending:
        completed.append((last_begin, None))
    return completed


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
