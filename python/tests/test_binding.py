"""The ctypes binding: how it finds the library, snr(), and Stream's life cycle."""

import json
import os
import pathlib
import subprocess
import sys

import numpy as np
import pytest

import tessel
from conftest import BUILD, LIBRARY, ROOT, SPEECH, frames_of, python, run_cli, speech


def test_snr_is_the_library_estimate_the_cli_reports():
    samples, _ = speech()
    cli = json.loads(run_cli(SPEECH)[0][0])
    estimate = tessel.snr(samples)
    assert estimate == (cli["speech"]["beginSample"], cli["speech"]["endSample"], cli["snrDb"])
    assert tessel.snr(samples[:256]) == (0, 0, 0.0)


@pytest.mark.parametrize(
    "samples, error, text",
    [
        (np.zeros(400), TypeError, "numpy int16 array, not float64 array"),
        ([0] * 400, TypeError, "numpy int16 array, not list"),
        (np.zeros((400, 2), np.int16), ValueError, "one-dimensional"),
    ],
)
def test_snr_refuses_what_is_not_mono_int16(samples, error, text):
    with pytest.raises(error, match=text):
        tessel.snr(samples)


def test_stream_follows_the_recording_and_starts_again_after_reset():
    samples, rate = speech()
    with tessel.Stream(rate, 320) as stream:
        assert stream.threshold == tessel.DEFAULT_THRESHOLD
        pushed = [stream.push(frame) for frame in frames_of(samples, 320)]
        ended = [bool(result) for result in pushed]
        # An end, once known, stays known; the second sentence moved both positions on.
        first_end = ended.index(True)
        assert all(ended[first_end:]) and not any(ended[:first_end])
        begin, end = stream.utterance
        assert 50000 < begin < end < len(samples)
        # Each push reports the utterance after every frame that changed it.
        changes = [change for result in pushed for change in result.changes]
        assert changes[-1] == (begin, end) and len(changes) >= 4
        assert all(before != after for before, after in zip(changes, changes[1:]))
        # Many frames in one push: the same changes, in the same order, as frame by frame.
        with tessel.Stream(rate, 320) as whole:
            at_once = whole.push(samples[: len(samples) // 320 * 320])
            assert at_once.changes == tuple(changes) and at_once.ended

        stream.reset()
        assert stream.utterance == (None, None)
        assert not stream.push(samples[:320])
        # Quieter speech that the default threshold lets through, a higher threshold hides; it
        # stays in force after reset().
        quiet = (samples // 8).astype(np.int16)
        with tessel.Stream(rate, 320) as other:
            assert any(other.push(frame) for frame in frames_of(quiet, 320))
        stream.threshold = 5000
        stream.reset()
        assert not any(stream.push(frame) for frame in frames_of(quiet, 320))
        assert stream.utterance == (None, None) and stream.threshold == 5000
    assert stream.closed
    with pytest.raises(ValueError, match="closed"):
        stream.push(samples[:320])
    stream.close()  # a second close does nothing


def test_threads_sharing_one_stream_wait_for_each_other_and_close_ends_them():
    # A fault kills the process, so the races run in one of their own; stream_races.py, run
    # by hand, takes a trial count and any library, also a sanitizer build.
    races = subprocess.run([sys.executable, "stream_races.py", "40"], capture_output=True,
                           text=True, cwd=pathlib.Path(__file__).parent, timeout=300,
                           env={**os.environ, "PYTHONPATH": str(ROOT / "python"),
                                "TESSEL_LIBRARY": str(LIBRARY)})
    assert races.returncode == 0, races.stderr
    assert races.stdout == "hammer: 40 trials, no fault\nclose_race: 40 trials, no fault\n"


def test_stream_errors_name_what_is_wrong():
    with pytest.raises(ValueError, match="refuses a context for 16000 Hz with frames of 321 sam"):
        tessel.Stream(16000, 321)
    with pytest.raises(ValueError, match="does not fit in 32 bits"):
        tessel.Stream(2**32, 320)
    with tessel.Stream(16000, 320) as stream:
        for size in (0, 319, 1000):
            with pytest.raises(ValueError, match=f"samples has {size} samples; this stream takes "
                                                 "one or more whole frames of 320"):
                stream.push(np.zeros(size, np.int16))
        with pytest.raises(TypeError, match="int16"):
            stream.push(np.zeros(320, np.int32))


def test_the_supported_rates_are_the_librarys():
    # The package names the rates in its messages; the library alone decides them. Every even
    # frame size of 10 to 20 ms is tried, at the listed rates and at their neighbours.
    def takes(rate):
        for frame_size in range(rate // 100 + rate // 100 % 2, rate // 50 + 1, 2):
            try:
                tessel.Stream(rate, frame_size).close()
                return True
            except ValueError:
                pass
        return False

    candidates = {r + d for r in tessel.SUPPORTED_RATES for d in (-1, 0, 1)}
    candidates |= {6000, 12000, 24000, 32000, 88200, 96000}
    assert {r for r in candidates if takes(r)} == set(tessel.SUPPORTED_RATES)


def test_the_library_is_found_by_its_soname_or_taken_from_tessel_library():
    # Installed: the loader's own search (LD_LIBRARY_PATH stands in for the system's folders).
    found = python("import tessel; print(tessel.banner())", LD_LIBRARY_PATH=str(BUILD / "bin"))
    assert found.returncode == 0 and found.stdout.startswith("Tessel_Lib v"), found.stderr

    missing = python("import tessel; tessel.banner()", TESSEL_LIBRARY="/nowhere/libtessel.so")
    assert "LibraryNotFoundError: cannot load the Tessel library from " \
           "TESSEL_LIBRARY=/nowhere/libtessel.so" in missing.stderr

    other = python("import tessel; tessel.banner()", TESSEL_LIBRARY="libm.so.6")
    assert "does not export Tessel_Init: it is not a Tessel library" in other.stderr

    # Nothing is loaded before it is needed: the batch runner's help works without a library.
    lazy = python("import tessel.batch, sys; sys.argv[1:] = ['--help']; tessel.batch.main()",
                  TESSEL_LIBRARY="/nowhere/libtessel.so")
    assert lazy.returncode == 0 and "--scheduler" in lazy.stdout


@pytest.mark.parametrize("platform, own_name", [("linux", "libtessel.so.1"),
                                                ("win32", "Tessel.dll")])
def test_the_package_prefers_its_own_copy_and_tessel_library_overrides_it(
        platform, own_name, tmp_path, monkeypatch):
    # Windows is played by its platform name: this machine has no Windows Python.
    from tessel import _library

    monkeypatch.setattr(sys, "platform", platform)
    monkeypatch.setattr(_library.ctypes.util, "find_library", lambda name: None)
    monkeypatch.delenv("TESSEL_LIBRARY")
    # Without its own copy (or with only the other platform's), the system's search.
    (tmp_path / ("libtessel.so.1" if platform == "win32" else "Tessel.dll")).touch()
    assert _library._where(str(tmp_path))[0] == own_name
    (tmp_path / own_name).touch()
    assert _library._where(str(tmp_path)) == (str(tmp_path / own_name),
                                              f"{tmp_path / own_name} (the package's own copy)")
    monkeypatch.setenv("TESSEL_LIBRARY", "/elsewhere/lib")
    assert _library._where(str(tmp_path))[0] == "/elsewhere/lib"
