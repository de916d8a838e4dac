"""`tessel listen` against a real sound server: the bundled recording is played into a private
server's null sink and heard back from the sink's monitor."""

import json
import os
import pathlib
import select
import signal
import subprocess
import time
import wave

import pytest

from pulse_server import pulse_server  # noqa: F401  (the fixture)

REPO = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("TESSEL_BUILD_DIR", REPO / "build" / "native"))
TESSEL = BUILD / "bin" / "tessel"
SPEECH = REPO / "samples" / "speech-16k.wav"
FRAME = 320  # 20 ms at 16000 Hz, the frames both `analyze` and `listen` push by default


@pytest.fixture(scope="module")
def analyzed():
    """What `tessel analyze` finds in the recording: [(begin, end), ...] in samples."""
    if not TESSEL.exists():
        pytest.fail(f"{TESSEL} is not built (cmake --build --preset native --target tessel_cli)")
    report = subprocess.run(
        [TESSEL, "analyze", "--json", SPEECH], capture_output=True, text=True, check=True
    )
    utterances = json.loads(report.stdout)["utterances"]
    assert len(utterances) == 2, report.stdout
    return [(u["beginSample"], u["endSample"]) for u in utterances]


def start_listening(server, *options):
    """Starts `tessel listen` on the sink's monitor and waits until its stream is recording, so
    that nothing played afterwards is missed."""
    listener = subprocess.Popen(
        [TESSEL, "listen", "--device", server.monitor, "--json", *options],
        env=server.env,
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
        text=True,
    )
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        outputs = subprocess.run(
            ["pactl", "list", "short", "source-outputs"],
            env=server.env,
            capture_output=True,
            text=True,
        ).stdout
        if outputs.strip():
            return listener
        if listener.poll() is not None:
            pytest.fail(f"tessel listen exited with {listener.returncode}: {listener.stderr.read()}")
        time.sleep(0.05)
    listener.kill()
    pytest.fail("tessel listen did not start recording within 20 s")


def play(server):
    return subprocess.Popen(
        ["pacat", "--file-format=wav", f"--device={server.sink}", SPEECH], env=server.env
    )


def read_events(listener, events, until, timeout=40):
    """Adds the listener's JSON lines to `events` as they come, until `until(events)` holds or
    its output ends. Reads the pipe unbuffered, so nothing waits unseen in a buffer."""
    fd = listener.stdout.fileno()
    pending = b""
    deadline = time.monotonic() + timeout
    while not until(events):
        left = deadline - time.monotonic()
        assert left > 0, f"timed out; events so far: {events}"
        if not select.select([fd], [], [], left)[0]:
            continue
        chunk = os.read(fd, 4096)
        if not chunk:
            break
        pending += chunk
        *lines, pending = pending.split(b"\n")
        events.extend(json.loads(line) for line in lines)
    return events


def wav_samples(path):
    with wave.open(str(path)) as w:
        assert (w.getnchannels(), w.getsampwidth(), w.getframerate()) == (1, 2, 16000)
        return w.readframes(w.getnframes())


def test_heard_utterances_match_analyze_and_are_saved_whole(pulse_server, analyzed, tmp_path):  # noqa: F811
    listener = start_listening(pulse_server, "--utterances", "2", "--save", str(tmp_path))
    player = play(pulse_server)
    try:
        out, err = listener.communicate(timeout=40)
    finally:
        listener.kill()
        player.wait(timeout=20)
    assert listener.returncode == 0, err
    events = [json.loads(line) for line in out.splitlines()]
    assert [(e["event"], e["utterance"]) for e in events] == [
        ("begin", 1),
        ("end", 1),
        ("begin", 2),
        ("end", 2),
    ], out
    for e in events:
        assert e["seconds"] == pytest.approx(e["sample"] / 16000)
    heard = [(events[0]["sample"], events[1]["sample"]), (events[2]["sample"], events[3]["sample"])]

    # Capture starts at an arbitrary moment, so lengths and the gap are compared, not positions.
    lengths = [end - begin for begin, end in heard]
    expected_lengths = [end - begin for begin, end in analyzed]
    for length, expected in zip(lengths, expected_lengths):
        assert abs(length - expected) <= 2 * FRAME, (heard, analyzed)
    gap = heard[1][0] - heard[0][1]
    expected_gap = analyzed[1][0] - analyzed[0][1]
    assert abs(gap - expected_gap) <= 2 * FRAME, (heard, analyzed)

    # Each file holds exactly its utterance's samples, as they were played: the null sink passes
    # 16-bit mono at its own rate through unchanged.
    with wave.open(str(SPEECH)) as source:
        played = source.readframes(source.getnframes())
    saved = sorted(tmp_path.iterdir())
    assert [p.suffix for p in saved] == [".wav", ".wav"], saved
    assert [str(p) for p in saved] == [events[1]["file"], events[3]["file"]]
    for path, (begin, end) in zip(saved, heard):
        data = wav_samples(path)
        assert len(data) == 2 * (end - begin)
        at = played.find(data)
        assert at >= 0 and at % 2 == 0, f"{path.name} is not a stretch of the recording"


def test_stopped_during_an_utterance_ends_it_and_leaves_only_whole_files(
    pulse_server, analyzed, tmp_path  # noqa: F811
):
    listener = start_listening(pulse_server, "--save", str(tmp_path))
    player = play(pulse_server)
    events = []
    try:
        read_events(listener, events, lambda events: len(events) >= 3)
        assert (events[-1]["event"], events[-1]["utterance"]) == ("begin", 2), events
        listener.send_signal(signal.SIGTERM)
        read_events(listener, events, lambda events: False, timeout=20)
        listener.wait(timeout=20)
    finally:
        listener.kill()
        player.wait(timeout=20)
    assert listener.returncode == 0, listener.stderr.read()
    assert [(e["event"], e["utterance"]) for e in events] == [
        ("begin", 1),
        ("end", 1),
        ("begin", 2),
        ("end", 2),
    ], events
    last = events[-1]
    assert last.get("stopped") is True and last["sample"] > events[2]["sample"], last
    # The finished utterance is there, whole; the open one and any temporary file are not.
    assert [p.name for p in tmp_path.iterdir()] == [pathlib.Path(events[1]["file"]).name]
    assert len(wav_samples(events[1]["file"])) == 2 * (events[1]["sample"] - events[0]["sample"])


def test_a_missing_server_or_device_is_one_line_and_status_1(pulse_server, tmp_path):  # noqa: F811
    nowhere = dict(pulse_server.env, PULSE_SERVER=f"unix:{tmp_path}/no-server")
    cases = [
        (nowhere, [], "cannot reach the sound server"),
        (pulse_server.env, ["--device", "no_such_source"], 'no source named "no_such_source"'),
    ]
    for env, options, cause in cases:
        run = subprocess.run(
            [TESSEL, "listen", "--json", *options], env=env, capture_output=True, text=True, timeout=20
        )
        assert run.returncode == 1, run
        assert run.stdout == ""
        lines = run.stderr.splitlines()
        assert len(lines) == 1 and lines[0].startswith("tessel listen: ") and cause in lines[0], run


def test_a_listener_that_fell_behind_reports_lost_audio(pulse_server):  # noqa: F811
    # Stopped for longer than the server and the client library queue (2 s each), the program
    # finds a full backlog when it runs again.
    listener = start_listening(pulse_server)
    events = []
    try:
        time.sleep(3)  # past the null sink's two seconds of lead, so that audio flows
        listener.send_signal(signal.SIGSTOP)
        time.sleep(6)
        listener.send_signal(signal.SIGCONT)
        read_events(listener, events, lambda events: len(events) >= 1, timeout=20)
        listener.send_signal(signal.SIGTERM)
        read_events(listener, events, lambda events: False, timeout=20)
        listener.wait(timeout=20)
    finally:
        listener.kill()
    err = listener.stderr.read()
    assert [e["event"] for e in events] == ["overrun"], events
    assert events[0]["backlogSeconds"] > 3, events
    assert listener.returncode == 1, err
    assert "tessel listen: overrun at " in err and "audio was lost" in err, err
