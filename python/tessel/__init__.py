"""Tessel from Python: end points of speech in live 16-bit streams and the SNR of recordings.

A binding through ctypes over the shared library (the file named by TESSEL_LIBRARY, else the
package's own copy that `pip install` built, else the installed libtessel.so.1 or Tessel.dll),
loaded on first use.

    import numpy as np, tessel
    tessel.snr(np.zeros(16000, np.int16))         # Snr(speech_begin, speech_end, db)
    with tessel.Stream(16000, 320) as stream:      # one live context
        stream.push(frames)                        # .changes to the utterance; true once an
                                                   # utterance end is known
        stream.utterance                           # Utterance(begin, end), None while unknown
    tessel.Stream(16000, 320, trace=True).trace    # the detector's records, per analysed frame
    tessel.analyze_file("speech.wav")              # what `tessel analyze --json` prints
    for span in tessel.utterances("speech.wav"):   # its utterances, in samples and seconds
        print(span.begin_seconds, span.end_seconds)

`python3 -m tessel.batch` analyses many files on a Dask cluster.
"""

from ._trace import TRACE_DTYPE, TRACE_EVENTS, TRACE_STATES
from .analysis import (SUPPORTED_RATES, UtteranceSpan, analyze_file, error_line, json_line,
                       utterances)
from .core import DEFAULT_THRESHOLD, Pushed, Snr, Stream, Utterance, banner, snr
from .errors import AnalysisError, LibraryNotFoundError, TesselError

__all__ = [
    "AnalysisError",
    "DEFAULT_THRESHOLD",
    "LibraryNotFoundError",
    "Pushed",
    "SUPPORTED_RATES",
    "Snr",
    "Stream",
    "TRACE_DTYPE",
    "TRACE_EVENTS",
    "TRACE_STATES",
    "TesselError",
    "Utterance",
    "UtteranceSpan",
    "analyze_file",
    "banner",
    "error_line",
    "json_line",
    "snr",
    "utterances",
]
