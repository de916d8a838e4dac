"""analyze_file() against `tessel analyze --json`, one recording of each kind at a time."""

import json

import pytest

import tessel
from conftest import options_for, run_cli, speech


def test_every_recording_gives_the_cli_line(recordings):
    seen, differing = {}, {}
    for name, path, cli_options in recordings:
        cli_lines, status = run_cli(*cli_options, path)
        assert len(cli_lines) == 1, name
        try:
            line = tessel.json_line(tessel.analyze_file(path, **options_for(cli_options)))
            failed = False
        except tessel.AnalysisError as error:
            assert error.path == str(path)
            line = tessel.error_line(path, error.reason)
            failed = True
        if line != cli_lines[0]:
            differing[name] = (cli_lines[0], line)
        assert status == (1 if failed else 0), name
        seen[name] = json.loads(line)
    assert not differing

    # The comparison means something only if the recordings took the roads they were made for.
    assert len(seen["bundled"]["utterances"]) == 2
    assert seen["stereo-8k"]["utterances"] and seen["stereo-8k"]["frameSize"] == 80
    assert seen["open-end"]["utterances"][-1]["endSample"] is None
    assert seen["flac-11k"]["vadThreshold"] == 400
    assert seen["too-short"]["snrDb"] is None and seen["too-short"]["speech"] is None
    assert "warning" in seen["truncated"]
    assert "\ufffd" in seen["not-utf-8"]["file"] and "\n" in seen["newline"]["file"]
    failures = {name for name, result in seen.items() if "error" in result}
    assert failures == {"rate-32k", "no-channel-3", "bad-frame-size", "not-audio", "missing",
                        "folder", "cut-header", "rate-0", "rate-4e9", "no-channels", "empty",
                        "long-name"}


def test_argument_errors_are_raised_before_any_file_is_read():
    with pytest.raises(ValueError, match="frame_ms must be 10 or 20"):
        tessel.analyze_file("whatever.wav", frame_ms=15)
    with pytest.raises(ValueError, match="channels count from 0"):
        tessel.analyze_file("whatever.wav", channel=-1)
    with pytest.raises(TypeError, match="threshold must be an integer"):
        tessel.analyze_file("whatever.wav", threshold=1.5)


def test_utterances_are_the_cli_list_for_files_and_for_samples(recordings):
    listed = {}
    for name, path, cli_options in recordings:
        if cli_options not in ([], ["--frame-ms", "10"]):
            continue
        frame_ms = 10 if cli_options else 20
        cli = json.loads(run_cli(*cli_options, path)[0][0])
        if "error" in cli:
            with pytest.raises(tessel.AnalysisError) as refused:
                list(tessel.utterances(path, frame_ms=frame_ms))
            assert refused.value.reason == cli["error"], name
            continue
        listed[name] = [tuple(span) for span in tessel.utterances(path, frame_ms=frame_ms)]
        assert listed[name] == [(u["beginSample"], u["endSample"], u["beginSeconds"],
                                 u["endSeconds"]) for u in cli["utterances"]], name
    assert len(listed["bundled"]) == 2 and "truncated" in listed

    samples, rate = speech()
    assert [tuple(span) for span in tessel.utterances(samples, rate)] == listed["bundled"]
    # The recording cut inside its second sentence, in 10 ms frames: the last one stays open.
    open_end = [tuple(span) for span in tessel.utterances(samples[: rate * 5], rate, frame_ms=10)]
    path, cli_options = next((path, options) for name, path, options in recordings
                             if name == "open-end")
    cli = json.loads(run_cli(*cli_options, path)[0][0])
    assert cli["frameSize"] == 160 and open_end[-1][1:] == (None, open_end[-1][2], None)
    assert open_end == [tuple(u.values()) for u in cli["utterances"]]
    with pytest.raises(ValueError, match="32000"):
        next(tessel.utterances(samples, 32000))
    with pytest.raises(TypeError, match="needs its rate"):
        next(tessel.utterances(samples))
