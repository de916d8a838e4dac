"""Tessel from Python: end points of speech in live 16-bit streams and the SNR of recordings.

A binding through ctypes over the installed shared library (libtessel.so.1; Tessel.dll on
Windows; or the file named by TESSEL_LIBRARY), loaded on first use.

    import numpy as np, tessel
    tessel.snr(np.zeros(16000, np.int16))         # Snr(speech_begin, speech_end, db)
    with tessel.Stream(16000, 320) as stream:      # one live context
        stream.push(frame)                         # True once an utterance end is known
        stream.utterance                           # Utterance(begin, end), None while unknown
    tessel.Stream(16000, 320, trace=True).trace    # the detector's records, per analysed frame
    tessel.analyze_file("speech.wav")              # what `tessel analyze --json` prints

`python3 -m tessel.batch` analyses many files on a Dask cluster.
"""

from ._trace import TRACE_DTYPE, TRACE_EVENTS, TRACE_STATES
from .analysis import SUPPORTED_RATES, analyze_file, error_line, json_line
from .core import DEFAULT_THRESHOLD, Snr, Stream, Utterance, banner, snr
from .errors import AnalysisError, LibraryNotFoundError, TesselError

__all__ = [
    "AnalysisError",
    "DEFAULT_THRESHOLD",
    "LibraryNotFoundError",
    "SUPPORTED_RATES",
    "Snr",
    "Stream",
    "TRACE_DTYPE",
    "TRACE_EVENTS",
    "TRACE_STATES",
    "TesselError",
    "Utterance",
    "analyze_file",
    "banner",
    "error_line",
    "json_line",
    "snr",
]
