"""The element's tests run gst-launch-1.0 and gst-inspect-1.0 on the plugin of a native build
(build/native, or the folder named by TESSEL_BUILD_DIR) and compare with its `tessel analyze`."""

import json
import os
import pathlib
import re
import subprocess
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("TESSEL_BUILD_DIR", ROOT / "build" / "native"))
PLUGIN_DIR = BUILD / "gstreamer"
CLI = BUILD / "bin" / "tessel"
CHECK = BUILD / "bin" / "tesselepd_check"  # the harness test, tesselepd_check.c
SPEECH = ROOT / "samples" / "speech-16k.wav"

sys.path.insert(0, str(ROOT / "tests" / "live"))
from pulse_server import pulse_server  # noqa: E402,F401  (the session's private sound server)


def pytest_configure(config):
    for needed in (PLUGIN_DIR / "libgsttessel.so", CLI, CHECK):
        if not needed.exists():
            raise pytest.UsageError(f"{needed} is missing: build the native preset first")


@pytest.fixture(scope="session")
def gst_env(tmp_path_factory):
    """The environment in which GStreamer finds the built plugin, with a registry of its own."""
    env = dict(os.environ)
    env["GST_PLUGIN_PATH"] = str(PLUGIN_DIR)
    env["GST_REGISTRY"] = str(tmp_path_factory.mktemp("gst") / "registry.bin")
    return env


def analyze(path, *options):
    """`tessel analyze --json` on one file: its utterances as (begin, end) pairs, end None when
    the recording ends first."""
    run = subprocess.run(
        [str(CLI), "analyze", "--json", *options, str(path)],
        capture_output=True,
        text=True,
        check=True,
    )
    report = json.loads(run.stdout)
    return [(u["beginSample"], u["endSample"]) for u in report["utterances"]]


_FIELD = re.compile(r"([a-z-]+)=\((\w+)\)([^,;]+)")


def utterance_messages(launch_output):
    """The fields of every tessel-utterance message that `gst-launch-1.0 -m` printed, in order."""
    messages = []
    for line in launch_output.splitlines():
        _, found, fields = line.partition("(element): tessel-utterance, ")
        if not found:
            continue
        message = {}
        for name, kind, value in _FIELD.findall(fields):
            message[name] = value == "true" if kind == "boolean" else int(value)
        messages.append(message)
    return messages


def launch(pipeline, env):
    """Runs `gst-launch-1.0 -m <pipeline>` to its end; returns the messages it printed."""
    run = subprocess.run(
        ["gst-launch-1.0", "-m", *pipeline.split()],
        env=env,
        capture_output=True,
        text=True,
        timeout=120,
    )
    assert run.returncode == 0, run.stdout + run.stderr
    return utterance_messages(run.stdout)
