"""The tests run the package from this source tree against a native build's library and CLI:
build/native, or the folder named by TESSEL_BUILD_DIR."""

import os
import pathlib
import struct
import subprocess
import sys

import numpy as np
import pytest
import soundfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("TESSEL_BUILD_DIR", ROOT / "build" / "native"))
LIBRARY = BUILD / "bin" / "libtessel.so.1"
TRACE_LIBRARY = BUILD / "bin" / "libtessel_trace.so"
CLI = BUILD / "bin" / "tessel"
SPEECH = ROOT / "samples" / "speech-16k.wav"

sys.path.insert(0, str(ROOT / "python"))


def pytest_configure(config):
    for needed in (LIBRARY, TRACE_LIBRARY, CLI):
        if not needed.exists():
            raise pytest.UsageError(f"{needed} is missing: build the native preset first")
    os.environ["TESSEL_LIBRARY"] = str(LIBRARY)


def project_version():
    for line in (BUILD / "CMakeCache.txt").read_text().splitlines():
        if line.startswith("CMAKE_PROJECT_VERSION:"):
            return line.split("=", 1)[1]
    raise AssertionError("no CMAKE_PROJECT_VERSION in the build's cache")


def run_cli(*arguments):
    """`tessel analyze --json` on the arguments: (its output lines, its exit status)."""
    run = subprocess.run(
        [str(CLI), "analyze", "--json", *map(str, arguments)], capture_output=True, text=True
    )
    return run.stdout.splitlines(keepends=True), run.returncode


def python(code, **environment):
    """Runs code in a fresh interpreter with the source tree's package and this environment."""
    env = {key: value for key, value in os.environ.items() if key != "TESSEL_LIBRARY"}
    env.update(environment, PYTHONPATH=str(ROOT / "python"))
    return subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, env=env)


def frames_of(samples, size):
    return [samples[start : start + size] for start in range(0, len(samples) - size + 1, size)]


def speech():
    samples, rate = soundfile.read(SPEECH, dtype="int16")
    return samples, rate


def resampled(samples, rate, new_rate):
    """The recording at another rate, by linear interpolation: still speech to the detector."""
    times = np.arange(int(len(samples) * new_rate / rate)) / new_rate
    return np.interp(times, np.arange(len(samples)) / rate, samples.astype(np.float64))


@pytest.fixture(scope="session")
def recordings(tmp_path_factory):
    """Recordings that take the CLI's different paths, as (name, path, CLI options)."""
    folder = tmp_path_factory.mktemp("recordings")
    samples, rate = speech()

    def write(name, data, file_rate, **kwargs):
        path = folder / name
        soundfile.write(path, data, file_rate, **kwargs)
        return path

    speech_8k = resampled(samples, rate, 8000).astype(np.int16)
    hum = (np.sin(np.arange(len(speech_8k)) * 0.05) * 40).astype(np.int16)
    speech_44k = resampled(samples, rate, 44100) / 32768.0
    speech_44k[1000:1010] = [1.5, -1.5, np.nan, 0.99999, -1.0, 0.5, 0.25, -0.25, 1e-6, -1e-6]
    return [
        ("bundled", SPEECH, []),
        # Channel 1 of two, at 8000 Hz with 10 ms frames.
        (
            "stereo-8k",
            write("stereo-8k.wav", np.stack([hum, speech_8k], axis=1), 8000),
            ["--channel", "1", "--frame-ms", "10"],
        ),
        # Float samples beyond full scale and NaN, at 44100 Hz.
        ("float-44k", write("float-44k.wav", speech_44k, 44100, subtype="FLOAT"), []),
        # Compressed, at 11025 Hz, with a threshold.
        (
            "flac-11k",
            write("flac-11k.flac", resampled(samples, rate, 11025).astype(np.int16), 11025),
            ["--threshold", "400"],
        ),
        # Cut inside the second sentence: the utterance is still open at the end.
        ("open-end", write("open-end.wav", samples[: rate * 5], rate), ["--frame-size", "160"]),
        ("too-short", write("too-short.wav", samples[:200], rate), []),
        ("rate-32k", write("rate-32k.wav", samples, 32000), []),
        ("no-channel-3", SPEECH, ["--channel", "3"]),
        ("bad-frame-size", SPEECH, ["--frame-size", "322"]),
        ("not-audio", _text_file(folder / "notes.wav"), []),
        ("missing", folder / "missing.wav", []),
        ("folder", folder, []),
        *_hostile(folder, samples[:8000]),
    ]


def _hostile(folder, samples):
    """Files a hostile user would hand over, as recordings without options."""
    pcm = samples.astype("<i2").tobytes()
    floats = (samples / 32768.0).astype("<f4")
    floats[100:103] = [np.nan, np.inf, -np.inf]
    files = {
        "truncated": ("truncated.wav", _wav(pcm, declared=3 * len(pcm))),
        "cut-header": ("cut-header.wav", _wav(pcm)[:30]),
        "rate-0": ("rate-0.wav", _wav(pcm, rate=0)),
        "rate-4e9": ("rate-4e9.wav", _wav(pcm, rate=4_000_000_000)),
        "no-channels": ("no-channels.wav", _wav(pcm, channels=0)),
        "not-utf-8": (os.fsdecode(b"name-\xff\xfe.wav"), _wav(pcm)),
        "newline": ("new\nline.wav", _wav(pcm)),
        "empty": ("empty.wav", b""),
        "nan-inf": ("nan-inf.wav", _wav(floats.tobytes(), bits=32, encoding=3)),
        "all-nan": ("all-nan.wav", _wav(np.full(4000, np.nan, "<f4").tobytes(), bits=32,
                                        encoding=3)),
    }
    for file_name, data in files.values():
        (folder / file_name).write_bytes(data)
    return [(name, folder / file_name, []) for name, (file_name, _) in files.items()] + [
        ("long-name", folder / ("x" * 300 + ".wav"), []),
    ]


def _wav(data, rate=16000, channels=1, bits=16, encoding=1, declared=None):
    """A canonical WAV file around data, with whatever header fields it is given."""
    size = len(data) if declared is None else declared
    block = channels * bits // 8
    fmt = struct.pack("<HHIIHH", encoding, channels, rate, rate * block % 2**32, block, bits)
    return (b"RIFF" + struct.pack("<I", 36 + size) + b"WAVEfmt " + struct.pack("<I", 16) + fmt
            + b"data" + struct.pack("<I", size) + data)


def _text_file(path):
    path.write_text("not a recording\n")
    return path


def options_for(cli_options):
    """The CLI's options as analyze_file()'s keyword arguments."""
    names = {"--channel": "channel", "--frame-ms": "frame_ms", "--frame-size": "frame_size",
             "--threshold": "threshold"}
    pairs = zip(cli_options[::2], cli_options[1::2])
    return {names[option]: int(value) for option, value in pairs}
