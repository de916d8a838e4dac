"""A private PulseAudio server for tests that need a real sound server.

The server runs in user mode (also as root), with its own runtime, state and home folders in a
temporary directory, only the native protocol on one unix socket, and one null sink. Nothing of
the user's own configuration is read (-n, a private HOME), so no other client and no other module
is there. Clients reach it through the environment it yields; they never start a server of their
own (autospawn is off), so a test that points PULSE_SERVER elsewhere sees a missing server.

    with private_pulse_server() as server:
        subprocess.run(["pacat", "--device", server.sink, ...], env=server.env)

or, in pytest, the session fixture `pulse_server` (import it into a conftest.py or a test file).
"""

import contextlib
import dataclasses
import os
import shutil
import subprocess
import tempfile
import time

import pytest

SINK_NAME = "tessel_test"
START_TIMEOUT_S = 15.0


@dataclasses.dataclass(frozen=True)
class PulseServer:
    env: dict  # os.environ plus what makes every client use this server and only it
    socket: str  # path of the native protocol's unix socket
    sink: str  # the null sink's name: play into it
    monitor: str  # the sink's monitor source: record from it
    rate: int
    channels: int
    log: str  # the server's own log, for a failing test's message


def pulse_tools_missing():
    """The first of the programs a live test needs that is not installed, or None."""
    for tool in ("pulseaudio", "pactl", "pacat"):
        if shutil.which(tool) is None:
            return tool
    return None


def _client_env(root, socket_path):
    client_conf = os.path.join(root, "client.conf")
    with open(client_conf, "w") as conf:
        conf.write("autospawn = no\n")
    env = dict(os.environ)
    env.update(
        {
            "PULSE_SERVER": "unix:" + socket_path,
            "PULSE_CLIENTCONFIG": client_conf,
            "PULSE_RUNTIME_PATH": os.path.join(root, "runtime"),
            "PULSE_STATE_PATH": os.path.join(root, "state"),
            "XDG_RUNTIME_DIR": os.path.join(root, "runtime"),
            "HOME": os.path.join(root, "home"),
        }
    )
    env.pop("PULSE_SINK", None)
    env.pop("PULSE_SOURCE", None)
    return env


def _answers(env):
    probe = subprocess.run(
        ["pactl", "info"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL
    )
    return probe.returncode == 0


@contextlib.contextmanager
def private_pulse_server(sink_name=SINK_NAME, rate=16000, channels=1):
    """Starts the server, waits until it answers, yields a PulseServer, stops it on exit.

    The null sink runs at `rate` and `channels` so that audio of that format crosses it without
    resampling.
    """
    missing = pulse_tools_missing()
    if missing is not None:
        raise RuntimeError(f"{missing} is not installed (Debian: pulseaudio, pulseaudio-utils)")
    root = tempfile.mkdtemp(prefix="tessel-pulse-")
    for folder in ("runtime", "state", "home"):
        os.makedirs(os.path.join(root, folder), mode=0o700)
    socket_path = os.path.join(root, "native")
    script = os.path.join(root, "server.pa")
    with open(script, "w") as pa:
        pa.write(
            f"load-module module-native-protocol-unix socket={socket_path} auth-anonymous=1\n"
            f"load-module module-null-sink sink_name={sink_name} format=s16le "
            f"rate={rate} channels={channels}\n"
            f"set-default-sink {sink_name}\n"
            f"set-default-source {sink_name}.monitor\n"
        )
    env = _client_env(root, socket_path)
    log_path = os.path.join(root, "server.log")
    log = open(log_path, "w")
    server = subprocess.Popen(
        [
            "pulseaudio",
            "-n",
            "-F",
            script,
            "--daemonize=no",
            "--system=false",
            "--exit-idle-time=-1",
            "--disallow-exit",
            "--disallow-module-loading=false",
            "--realtime=false",
            "--high-priority=false",
            "--use-pid-file=false",
            "--log-target=stderr",
        ],
        env=env,
        stdin=subprocess.DEVNULL,
        stdout=log,
        stderr=subprocess.STDOUT,
    )
    try:
        deadline = time.monotonic() + START_TIMEOUT_S
        while not _answers(env):
            if server.poll() is not None:
                raise RuntimeError(
                    f"pulseaudio exited with status {server.returncode}:\n" + _read(log_path)
                )
            if time.monotonic() > deadline:
                raise RuntimeError(
                    f"pulseaudio did not answer within {START_TIMEOUT_S} s:\n" + _read(log_path)
                )
            time.sleep(0.1)
        yield PulseServer(
            env=env,
            socket=socket_path,
            sink=sink_name,
            monitor=sink_name + ".monitor",
            rate=rate,
            channels=channels,
            log=log_path,
        )
    finally:
        server.terminate()
        try:
            server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()
        log.close()
        shutil.rmtree(root, ignore_errors=True)


def _read(path):
    with open(path, errors="replace") as f:
        return f.read()


@pytest.fixture(scope="session")
def pulse_server():
    """One private server for the test session; skips when the programs are not installed."""
    missing = pulse_tools_missing()
    if missing is not None:
        pytest.skip(f"{missing} is not installed (Debian: pulseaudio, pulseaudio-utils)")
    with private_pulse_server() as server:
        yield server
