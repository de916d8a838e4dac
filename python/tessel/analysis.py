"""analyze_file(): a recording from disk streamed through a context the way `tessel analyze`
streams it, with the same utterances, SNR, JSON object and one-line failure reasons."""

import functools
import json
import math
import os
import stat

import numpy as np
import soundfile

from ._library import library
from .core import Stream, _int32, snr
from .errors import AnalysisError

# The rates a context accepts (tessel.h).
SUPPORTED_RATES = (8000, 11025, 16000, 22050, 44100, 48000)
_INT32_MAX = 2**31 - 1
_BLOCK_FRAMES = 65536
_SFE_SYSTEM = 2  # libsndfile's "system error": the reason is the operating system's


def analyze_file(path, *, channel=0, frame_ms=20, frame_size=None, threshold=None):
    """Analyses one recording as `tessel analyze --json` does; returns the same JSON object as a
    dict: every utterance a live host would have seen, and the whole-recording SNR.

    Any format libsndfile reads; the chosen channel is brought to 16 bits. Frames default to
    about 20 ms (frame_ms 10 or 20), or exactly frame_size samples; threshold sets the
    detector's minimum energy threshold. Raises AnalysisError when the file cannot be analysed.
    """
    path = os.fspath(path)
    channel = _int32(channel, "channel")
    if channel < 0:
        raise ValueError(f"channel {channel} is negative; channels count from 0")
    if frame_ms not in (10, 20):
        raise ValueError(f"frame_ms must be 10 or 20, not {frame_ms!r}")
    if threshold is not None:
        threshold = _int32(threshold, "threshold")

    samples, rate, channels = _read_recording(path, channel)
    if rate not in SUPPORTED_RATES:
        rates = ", ".join(map(str, SUPPORTED_RATES))
        raise AnalysisError(
            path, f"sample rate {rate} Hz is not supported; the supported rates are {rates} Hz"
        )
    if frame_size is None:
        frame_size = _frame_size_for_ms(rate, frame_ms)
    frame_size = _int32(frame_size, "frame_size")
    if not _accepts(rate, frame_size):
        raise AnalysisError(
            path,
            f"frame size {frame_size} does not fit: at {rate} Hz a frame size must be even, "
            f"between {rate // 100} and {rate // 50}, and make an 8 kHz frame that is a "
            "multiple of 4 samples",
        )

    utterances = _stream(samples, rate, frame_size, threshold)
    estimate = snr(samples)
    measurable = samples.size > 256
    has_span = measurable and estimate.speech_end > estimate.speech_begin
    return {
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


def _read_recording(path, channel):
    try:
        mode = os.stat(path).st_mode
    except (OSError, ValueError):
        raise AnalysisError(path, "no such file") from None
    if stat.S_ISDIR(mode):
        raise AnalysisError(path, "is a directory")
    try:
        file = soundfile.SoundFile(path)
    except soundfile.LibsndfileError as error:
        raise AnalysisError(path, _open_failure(path, error)) from None
    with file:
        channels, rate, frames = file.channels, file.samplerate, file.frames
        if channels < 1:
            reason = "no audio channels"
        elif channel >= channels:
            reason = (
                f"has {channels} channel{'' if channels == 1 else 's'}, channel {channel} does "
                "not exist (channels count from 0)"
            )
        elif frames > _INT32_MAX:
            reason = f"too long: {frames} samples, the library takes at most {_INT32_MAX}"
        elif rate <= 0:
            reason = f"invalid sample rate {rate}"
        else:
            reason = None
        if reason:
            raise AnalysisError(path, reason)
        blocks, count = [], 0
        try:
            while True:
                block = file.read(_BLOCK_FRAMES, dtype="float64", always_2d=True)
                if not len(block):
                    break
                blocks.append(_to_int16(block[:, channel]))
                count += len(block)
                if count > _INT32_MAX:
                    raise AnalysisError(path, f"too long: more than {_INT32_MAX} samples")
        except soundfile.LibsndfileError as error:
            raise AnalysisError(path, _tidy(error.error_string)) from None
    samples = np.concatenate(blocks) if blocks else np.zeros(0, np.int16)
    return samples, rate, channels


def _to_int16(normalised):
    # Every encoding reaches 16 bits by one rule: scaled by 32768, rounded half to even,
    # clipped; NaN reads as silence.
    scaled = np.rint(np.where(np.isnan(normalised), 0.0, normalised) * 32768.0)
    return np.clip(scaled, -32768, 32767).astype(np.int16)


def _open_failure(path, error):
    if error.code == _SFE_SYSTEM:
        try:
            with open(path, "rb"):
                pass
        except OSError as system_error:
            return _tidy(system_error.strerror or str(system_error))
    return _tidy(error.error_string)


def _tidy(reason):
    # libsndfile's texts end with a full stop; a one-line reason reads better without it and
    # starts in lower case.
    reason = reason.strip().rstrip(".").strip()
    return reason[:1].lower() + reason[1:] if reason else "unreadable"


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
