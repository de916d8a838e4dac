"""One channel of a recording read as 16-bit samples, the way `tessel analyze` reads it: the same
samples, the same one-line reason when it cannot, and the same warning when the file holds less
than its header declares."""

import os
import re
import stat
import threading

import numpy as np
import soundfile

from . import _reasons
from .errors import AnalysisError

_SF_COUNT_MAX = 2**63 - 1
_LOG_SIZE = 4096  # the CLI reads libsndfile's log into a buffer of this size
# soundfile has no public way to libsndfile's log or to its text for a failed open, which the
# reasons come from, so those two calls go to the library soundfile loaded.
_sndfile, _ffi = soundfile._snd, soundfile._ffi
# libsndfile keeps the reason for a failed open, and the log behind it, in process-wide state:
# a file opened on another thread must not overwrite them before they are read.
_open_lock = threading.Lock()


def read_recording(path, channel):
    """(samples, rate, channels, warning) of channel `channel` of the file at `path` (a str):
    int16 samples, and the warning empty when the file is what its header says. Raises
    AnalysisError with the CLI's reason."""
    try:
        mode = os.stat(path).st_mode
    except (FileNotFoundError, NotADirectoryError, ValueError):
        raise AnalysisError(path, _reasons.no_such_file()) from None
    except OSError as error:
        raise AnalysisError(path, _reasons.tidy(os.strerror(error.errno))) from None
    if stat.S_ISDIR(mode):
        raise AnalysisError(path, _reasons.is_a_directory())
    with _open_lock:
        try:
            # Bytes reach the system as they are, also a name that is not UTF-8.
            file = soundfile.SoundFile(os.fsencode(path))
        except soundfile.LibsndfileError:
            raise AnalysisError(path, _open_failure()) from None
    with file:
        channels, rate, frames = file.channels, file.samplerate, file.frames
        if channels < 1:
            reason = _reasons.no_channels()
        elif channel >= channels:
            reason = _reasons.missing_channel(channels, channel)
        elif rate <= 0:
            reason = _reasons.invalid_rate(rate)
        elif _reasons.INT32_MAX < frames != _SF_COUNT_MAX:
            # Refused from the header, where the CLI reads on to the limit: libsndfile trims a
            # chunked format's length to the file, so that much is there to read.
            reason = _reasons.too_long()
        else:
            reason = None
        if reason:
            raise AnalysisError(path, reason)
        samples = _read_channel(file, channels, channel, path)
        return samples, rate, channels, _shortfall_warning(file, frames, samples.size)


def _read_channel(file, channels, channel, path):
    block_frames = max(1, 65536 // channels)
    # 16-bit files are read as they are stored, which gives the samples the doubles give, faster.
    as_stored = file.subtype == "PCM_16"
    blocks, count = [], 0
    try:
        while True:
            block = file.read(block_frames, dtype="int16" if as_stored else "float64",
                              always_2d=True)
            if not len(block):
                break
            column = block[:, channel]
            if not as_stored:
                column = to_int16(column)
            elif channels > 1:
                column = column.copy()  # keeps this channel, not the whole block, until joined
            blocks.append(column)
            count += len(block)
            if count > _reasons.INT32_MAX:
                raise AnalysisError(path, _reasons.too_long())
    except soundfile.LibsndfileError:
        raise AnalysisError(path, _reasons.tidy(_text(_sndfile.sf_strerror(file._file)))) from None
    return np.concatenate(blocks) if blocks else np.zeros(0, np.int16)


def to_int16(normalised):
    """Every encoding reaches 16 bits by one rule: scaled by 32768, rounded half to even,
    saturated; NaN reads as silence."""
    scaled = np.rint(np.where(np.isnan(normalised), 0.0, normalised) * 32768.0)
    return np.clip(scaled, -32768, 32767).astype(np.int16)


def _open_failure():
    # libsndfile refuses a header without a usable rate or channel count as "SF_INFO struct
    # incomplete", a text for its developers; its log shows which field it was.
    reason = _text(_sndfile.sf_strerror(_ffi.NULL))
    if "SF_INFO" in reason:
        log = _log(_ffi.NULL)
        rate = _log_value(log, " Sample rate :")
        if rate is not None and rate <= 0:
            return _reasons.header_rate(rate)
        channels = _log_value(log, " Channels    :")
        if channels is not None and channels <= 0:
            return _reasons.header_channels(channels)
    return _reasons.tidy(reason)


def _shortfall_warning(file, frames, read):
    # libsndfile trims a chunked format's length to the file, leaving only a line in its log
    # ("data : 6000 (should be 4000)"); other formats report the declared length.
    if read < frames != _SF_COUNT_MAX:
        return _reasons.declared_more_samples(frames, read)
    warning = ""
    # The container's size comes first, the data chunk's last: the last shortfall names the data.
    for line in _log(file._file).split("\n"):
        colon, should = line.find(":"), line.find("(should be ")
        if colon < 0 or should < colon:
            continue
        declared = _strtoll(line[colon + 1 :])[0]
        present = _strtoll(line[should + 11 :])[0]
        if present < declared:
            chunk = line[:colon].strip(" ")
            warning = _reasons.declared_more_data(chunk, declared, present, read)
    return warning


def _log(sndfile):
    buffer = _ffi.new("char[]", _LOG_SIZE)
    _sndfile.sf_command(sndfile, _sndfile.SFC_GET_LOG_INFO, buffer, _LOG_SIZE)
    return _text(_ffi.string(buffer))


def _text(c_text):
    if not isinstance(c_text, bytes):
        c_text = _ffi.string(c_text)
    return c_text.decode("utf-8", "replace")


def _log_value(log, key):
    """The number after key on the first log line that starts with it; None without one."""
    for line in log.split("\n"):
        if line.startswith(key):
            value, parsed = _strtoll(line[len(key) :])
            return value if parsed else None
    return None


_NUMBER = re.compile(r"[ \t\n\v\f\r]*([+-]?[0-9]+)")


def _strtoll(text):
    """C's strtoll in base 10: (value, whether any digits were read)."""
    match = _NUMBER.match(text)
    if not match:
        return 0, False
    return max(-(2**63), min(int(match.group(1)), 2**63 - 1)), True
