"""Stream(trace=True): the detector's records through the trace library, exactly as `--trace`
writes them (cli/tests/trace_test.cpp checks those against the API frame by frame)."""

import gc
import weakref

import pytest

import tessel
from conftest import BUILD, LIBRARY, ROOT, frames_of, python, speech

GOLDEN = ROOT / "tests" / "golden" / "speech-16k.trace.csv"


def csv_line(record):
    """One record laid out as cli/trace_csv.cpp writes it."""
    r = record
    values = [r["frame"], r["sample"], "%.4f" % r["seconds"], tessel.TRACE_STATES[r["state"]],
              tessel.TRACE_EVENTS[r["event"]], "%.9g" % r["energy"], r["threshold"], r["peak"],
              r["floor"], "%.9g" % r["pitch_hz"],
              "-1" if r["pitch_lag"] < 0 else "%.2f" % r["pitch_lag"]]
    values += [r[name] for name in tessel.TRACE_DTYPE.names[11:]]
    return ",".join(map(str, values))


def test_the_trace_of_the_bundled_recording_is_the_golden_file_again_after_reset():
    samples, rate = speech()
    golden = GOLDEN.read_text().splitlines()
    assert golden[0].split(",") == list(tessel.TRACE_DTYPE.names)
    with tessel.Stream(rate, 320, trace=True) as stream:
        for _ in range(2):
            for frame in frames_of(samples, 320):
                stream.push(frame)
            stream.reset()
    # Read after close; the observer stayed through reset(), which numbers frames from 1 again.
    trace = stream.trace
    assert [csv_line(record) for record in trace] == golden[1:] * 2


def test_a_traced_stream_keeps_nothing_alive_and_an_untraced_one_has_no_trace():
    samples, rate = speech()
    gc.disable()
    try:
        stream = tessel.Stream(rate, 320, trace=True)
        stream.push(samples[:320])
        gone = weakref.ref(stream)
        del stream
        assert gone() is None  # no reference cycle through the observer
    finally:
        gc.enable()
    with tessel.Stream(rate, 320) as plain, pytest.raises(ValueError, match="trace=True"):
        plain.trace


def test_the_trace_library_is_found_beside_libtessel_or_taken_from_the_environment():
    code = ("import numpy, tessel\n"
            "with tessel.Stream(16000, 320, trace=True) as s: s.push(numpy.zeros(320, 'int16'))\n"
            "print(s.trace['frame'])")
    # libtessel found by the loader's search, the trace library beside it.
    found = python(code, LD_LIBRARY_PATH=str(BUILD / "bin"))
    assert found.returncode == 0 and found.stdout == "[1]\n", found.stderr

    missing = python(code, TESSEL_LIBRARY=str(LIBRARY), TESSEL_TRACE_LIBRARY="/nowhere/x.so")
    assert "LibraryNotFoundError: cannot load the Tessel trace library from " \
           "TESSEL_TRACE_LIBRARY=/nowhere/x.so" in missing.stderr
    plain = python(code, TESSEL_LIBRARY=str(LIBRARY), TESSEL_TRACE_LIBRARY=str(LIBRARY))
    assert "does not export TesselTrace_SetObserver: it is not the Tessel trace library" \
           in plain.stderr
    windows = python("import sys, tessel; sys.platform = 'win32'; "
                     "tessel.Stream(16000, 320, trace=True)")
    assert "needs libtessel_trace.so, which only the native Linux build makes" in windows.stderr
