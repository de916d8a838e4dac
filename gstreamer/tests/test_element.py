"""The element tesselepd end to end: in gst-launch-1.0 pipelines from the bundled recording and
from a live sound server, against `tessel analyze` on the same audio."""

import os
import signal
import subprocess
import time
import wave

import pytest

from conftest import BUILD, CHECK, PLUGIN_DIR, SPEECH, analyze, launch, utterance_messages

NONE = 2**64 - 1  # GST_CLOCK_TIME_NONE
RATE = 16000
FRAME_SIZES = {"10": 160, "20": 320}


def expected_messages(utterances):
    """What the element posts for analyze's utterances: each begin as it is declared, then the
    utterance once its end is known, numbered from 1."""
    messages = []
    for number, (begin, end) in enumerate(utterances, start=1):
        messages.append((number, begin, -1, False))
        if end is not None:
            messages.append((number, begin, end, True))
    return messages


def positions(messages):
    return [(m["utterance"], m["begin-sample"], m["end-sample"], m["final"]) for m in messages]


def speech_data():
    with wave.open(str(SPEECH)) as recording:
        assert (recording.getframerate(), recording.getnchannels()) == (RATE, 1)
        return recording.readframes(recording.getnframes())


def check_times(messages, frame_size):
    """Stream times are the sample positions' times; a change is decided at a frame's end, at or
    after the positions it reports."""
    for m in messages:
        assert m["begin-time"] == m["begin-sample"] * 10**9 // RATE, m
        assert m["end-time"] == (NONE if m["end-sample"] < 0 else m["end-sample"] * 10**9 // RATE)
        decided = m["stream-time"] * RATE // 10**9
        assert decided % frame_size == 0 and decided >= max(m["begin-sample"], m["end-sample"]), m


@pytest.mark.parametrize(
    "frame_ms, threshold", [("10", None), ("20", None), ("20", "16384")], ids=str
)
def test_file_pipeline_posts_what_analyze_finds(gst_env, frame_ms, threshold):
    options = ["--frame-ms", frame_ms] + (["--threshold", threshold] if threshold else [])
    found = analyze(SPEECH, *options)
    assert len(found) == 2
    properties = f"frame-ms={frame_ms}" + (f" threshold={threshold}" if threshold else "")
    messages = launch(
        f"filesrc location={SPEECH} ! wavparse ! tesselepd {properties} ! fakesink", gst_env
    )
    assert positions(messages) == expected_messages(found)
    check_times(messages, FRAME_SIZES[frame_ms])


def test_a_new_segment_starts_the_count_again(gst_env):
    """The recording twice through concat, which starts a segment for the second: the same
    positions twice, the second pass later in running time."""
    source = f"filesrc location={SPEECH} ! wavparse ! c."
    messages = launch(f"concat name=c ! tesselepd ! fakesink {source} {source}", gst_env)
    once = expected_messages(analyze(SPEECH))
    assert positions(messages) == once + once
    duration = len(speech_data()) // 2 * 10**9 // RATE
    second = messages[len(once) :]
    assert [m["running-time"] - duration for m in second] == [
        m["running-time"] for m in messages[: len(once)]
    ]


def test_harness_a_flushing_seek_starts_a_fresh_count():
    """tesselepd_check.c, where the harness seeks, which gst-launch-1.0 cannot."""
    run = subprocess.run([str(CHECK)], capture_output=True, text=True)
    assert run.returncode == 0, run.stdout + run.stderr


def test_audio_passes_through_unchanged_in_pieces_of_any_size(gst_env, tmp_path):
    """Pieces of 1001 bytes, which split frames and samples: the output is the input byte for
    byte, and the utterances are analyze's."""
    raw = tmp_path / "speech.raw"
    raw.write_bytes(speech_data())
    out = tmp_path / "out.raw"
    messages = launch(
        f"filesrc location={raw} blocksize=1001 ! "
        f"audio/x-raw,format=S16LE,channels=1,rate={RATE},layout=interleaved ! "
        f"tesselepd ! filesink location={out}",
        gst_env,
    )
    assert out.read_bytes() == raw.read_bytes()
    assert positions(messages) == expected_messages(analyze(SPEECH))


def test_inspect_documents_the_element_from_the_build_and_from_its_install(gst_env, tmp_path):
    stage = tmp_path / "stage"
    subprocess.run(
        ["cmake", "--install", str(BUILD), "--prefix", "/usr", "--component", "gstreamer"],
        env={**os.environ, "DESTDIR": str(stage)},
        check=True,
        capture_output=True,
    )
    installed = list(stage.rglob("libgsttessel.so"))
    assert len(installed) == 1 and installed[0].parent.name == "gstreamer-1.0"
    assert sorted(p.name for p in stage.rglob("*") if p.is_file()) == ["libgsttessel.so"]
    for plugin_dir in (PLUGIN_DIR, installed[0].parent):
        env = {**gst_env, "GST_PLUGIN_PATH": str(plugin_dir),
               "GST_REGISTRY": str(tmp_path / f"registry-{plugin_dir.name}.bin")}
        run = subprocess.run(
            ["gst-inspect-1.0", "tesselepd"], env=env, capture_output=True, text=True
        )
        assert run.returncode == 0, run.stderr
        text = run.stdout
        assert str(plugin_dir / "libgsttessel.so") in text
        for expected in ("tessel-utterance", "begin-sample", "final", "threshold", "frame-ms",
                         "S16LE", "11025", "48000"):
            assert expected in text, expected


PIPELINE_PLAYING = (
    '"pipeline0" (state-changed): GstMessageStateChanged, old-state=(GstState)paused, '
    "new-state=(GstState)playing"
)


def wait_for_line(path, text, process, seconds):
    deadline = time.monotonic() + seconds
    while text not in path.read_text(errors="replace"):
        assert process.poll() is None, path.read_text(errors="replace")
        assert time.monotonic() < deadline, f"no '{text}' within {seconds} s"
        time.sleep(0.05)


def test_live_pipeline_from_a_sound_server_finds_analyze_utterances(
    gst_env, pulse_server, tmp_path
):
    """The recording played into the server's null sink while the element listens to the sink's
    monitor: two utterances whose lengths and gap match analyze's within two frames."""
    env = {**pulse_server.env, "GST_PLUGIN_PATH": gst_env["GST_PLUGIN_PATH"],
           "GST_REGISTRY": gst_env["GST_REGISTRY"]}
    # Two seconds of buffer at the server: a busy machine delays the pipeline without losing audio.
    pipeline = (
        f"pulsesrc device={pulse_server.monitor} buffer-time=2000000 ! "
        f"audio/x-raw,format=S16LE,channels=1,rate={RATE} ! tesselepd ! fakesink"
    )
    log = tmp_path / "launch.log"  # line by line, so that the start can be seen
    with open(log, "w") as output:
        listening = subprocess.Popen(
            ["stdbuf", "-oL", "gst-launch-1.0", "-m", "-e", *pipeline.split()],
            env=env,
            stdout=output,
            stderr=subprocess.STDOUT,
        )
    try:
        wait_for_line(log, PIPELINE_PLAYING, listening, 30)
        subprocess.run(
            ["pacat", "--playback", f"--device={pulse_server.sink}", "--file-format=wav",
             str(SPEECH)],
            env=env, check=True, timeout=60,
        )
        time.sleep(1.0)
    finally:
        listening.send_signal(signal.SIGINT)
        listening.wait(timeout=30)
    final = [m for m in utterance_messages(log.read_text()) if m["final"]]
    assert len(final) == 2, log.read_text()
    (b1, e1), (b2, e2) = [(m["begin-sample"], m["end-sample"]) for m in final]
    (ab1, ae1), (ab2, ae2) = analyze(SPEECH)
    tolerance = 2 * FRAME_SIZES["20"]
    assert abs((e1 - b1) - (ae1 - ab1)) <= tolerance
    assert abs((e2 - b2) - (ae2 - ab2)) <= tolerance
    assert abs((b2 - e1) - (ab2 - ae1)) <= tolerance
