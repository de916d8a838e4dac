"""python3 -m tessel.batch on Dask clusters against `tessel analyze --json` on the same files."""

import os
import pty
import signal
import socket
import subprocess
import sys

import pytest

from conftest import ROOT, run_cli


@pytest.fixture(scope="module")
def files(recordings):
    """The recordings that need no options, good and failing; the bundled one twice."""
    plain = [path for name, path, options in recordings if not options]
    return [str(path) for path in plain + plain[:1]]


def batch(*arguments, stderr=subprocess.PIPE):
    env = dict(os.environ, PYTHONPATH=str(ROOT / "python"))
    return subprocess.run([sys.executable, "-m", "tessel.batch", *arguments], env=env,
                          stdout=subprocess.PIPE, stderr=stderr, text=True, timeout=120)


def test_a_local_cluster_prints_the_cli_lines_in_order_with_progress(files, tmp_path):
    # Half the files as arguments, the rest from a list, which cannot hold a name with a
    # newline; progress goes to a terminal.
    half = len(files) // 2
    named = files[:half] + [path for path in files[half:] if "\n" in path]
    listable = [path for path in files[half:] if "\n" not in path]
    cli_lines, cli_status = run_cli(*named, *listable)
    listed = tmp_path / "list.txt"
    listed.write_bytes(b"".join(os.fsencode(path) + b"\n" for path in listable) + b"\n")
    terminal, stderr = pty.openpty()
    run = batch("--workers", "2", *named, "--files-from", str(listed), stderr=stderr)
    os.close(stderr)
    shown = _read_all(terminal)

    assert run.stdout.splitlines(keepends=True) == cli_lines
    assert run.returncode == cli_status == 1
    assert f"of {len(files)} files done" in shown
    missing = next(path for path in files if path.endswith("missing.wav"))
    assert f"tessel.batch: {missing}: no such file" in shown


def test_options_beyond_32_bits_are_usage_errors_before_any_file_is_read():
    for option, value in (("--threshold", "2147483648"), ("--frame-size", "-2147483649"),
                          ("--channel", "2147483648")):
        run = batch(option, value, "/nowhere/never-read.wav")
        assert (run.returncode, run.stdout) == (2, ""), option
        assert f"{option} {value} does not fit in 32 bits" in run.stderr


def test_a_running_scheduler_and_its_workers_take_the_files(files):
    # The way a real cluster runs: a scheduler, and workers that connect to it.
    port = _free_port()
    address = f"tcp://127.0.0.1:{port}"
    env = dict(os.environ, PYTHONPATH=str(ROOT / "python"))
    started = [
        subprocess.Popen(["dask-scheduler", "--host", "127.0.0.1", "--port", str(port),
                          "--no-dashboard"], env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL, start_new_session=True),
        subprocess.Popen(["dask-worker", address, "--nworkers", "2", "--nthreads", "1",
                          "--no-dashboard"], env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL, start_new_session=True),
    ]
    try:
        run = batch("--scheduler", address, *files)
    finally:
        for process in reversed(started):
            os.killpg(process.pid, signal.SIGTERM)
            process.wait(timeout=30)
    assert run.stdout.splitlines(keepends=True) == run_cli(*files)[0]
    assert run.returncode == 1


def _free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def _read_all(terminal):
    text = b""
    while True:
        try:
            chunk = os.read(terminal, 4096)
        except OSError:  # the terminal closes once the program's end is gone
            break
        if not chunk:
            break
        text += chunk
    os.close(terminal)
    return text.decode(errors="replace")
