"""The page end to end in a real Chromium: dropped files give the command line's very report,
bad files a one-line message, and the microphone (Chromium's fake capture device playing the
bundled recording) the utterances the command line finds in the same audio."""

import json
import re
import shutil
import wave

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

from conftest import RATES, SCREENSHOT, SPEECH, resample, sox, tessel


def text_of(browser, element_id):
    return browser.find_element(By.ID, element_id).get_attribute("textContent")


def choose(browser, path):
    """Chooses the file with the page's file input and waits for what the page says of it."""
    browser.execute_script("document.getElementById('file-message').textContent = ''")
    browser.find_element(By.ID, "file").send_keys(str(path))
    WebDriverWait(browser, 30).until(
        lambda b: text_of(b, "file-message").startswith(path.name + ":"))


def open_page(browser, server):
    browser.get(server)
    WebDriverWait(browser, 20).until(lambda b: text_of(b, "ready").startswith("Ready"))


def test_files_give_the_command_lines_report(browser, server, tmp_path):
    shutil.copy(SPEECH, tmp_path / SPEECH.name)
    files = [tmp_path / SPEECH.name]
    files += [resample(SPEECH, rate, tmp_path / f"speech-{rate}.wav") for rate in RATES]
    open_page(browser, server)
    for path in files:
        choose(browser, path)
        # Run where the file is, so that the command line names it as the page does.
        line = tessel("analyze", "--json", path.name, cwd=tmp_path).stdout
        text = tessel("analyze", path.name, cwd=tmp_path).stdout
        tessel("analyze", "--plot", "plot.svg", path.name, cwd=tmp_path)
        expected = json.loads(line)
        assert expected["utterances"] and expected["speech"], path.name

        assert text_of(browser, "report-json") == line, path.name
        assert text_of(browser, "report-text") == text, path.name
        svg = browser.execute_async_script(
            "fetch(document.getElementById('save-plot').href).then(r => r.text()).then(arguments[0])")
        assert svg == (tmp_path / "plot.svg").read_text(), path.name

        # The numbers the page shows, read back exactly.
        rows = [[float(td.get_attribute("textContent")) for td in row.find_elements(By.TAG_NAME, "td")]
                for row in browser.find_elements(By.CSS_SELECTOR, "#numbers tbody tr")]
        assert rows == [[i + 1, u["beginSeconds"], u["endSeconds"], u["beginSample"], u["endSample"]]
                        for i, u in enumerate(expected["utterances"])], path.name
        speech = expected["speech"]
        shown = [float(text_of(browser, i)) for i in
                 ("snr", "span-begin", "span-end", "span-begin-sample", "span-end-sample")]
        assert shown == [expected["snrDb"], speech["beginSeconds"], speech["endSeconds"],
                         speech["beginSample"], speech["endSample"]], path.name


def test_bad_files_get_one_line(browser, server, tmp_path):
    (tmp_path / "notes.wav").write_text("not a recording\n")
    (tmp_path / "header-only.wav").write_bytes(b"RIFF\x04\x00\x00\x00WAVE")
    sox(SPEECH, tmp_path / "deep.wav", "-b", 24)
    resample(SPEECH, 32000, tmp_path / "odd-rate.wav")
    open_page(browser, server)
    expected = {
        "notes.wav": "notes.wav: not a WAV file (it does not begin with a RIFF WAVE header)",
        "header-only.wav": "header-only.wav: no fmt chunk before the samples: not a usable WAV file",
        "deep.wav": "deep.wav: holds 24-bit PCM samples; this page reads 16-bit PCM WAV files only",
    }
    # A rate the library does not take: the page says what the command line says.
    refusal = json.loads(tessel("analyze", "--json", "odd-rate.wav", cwd=tmp_path).stdout)
    expected["odd-rate.wav"] = f"odd-rate.wav: {refusal['error']}"
    for name, message in expected.items():
        choose(browser, tmp_path / name)
        element = browser.find_element(By.ID, "file-message")
        assert element.get_attribute("textContent") == message
        assert "error" in element.get_attribute("class").split()
        assert not browser.find_element(By.ID, "result").is_displayed()


def test_live_microphone_finds_the_command_lines_utterances(browser, server, capture_file, tmp_path):
    open_page(browser, server)
    # Ready means loaded: from here the page must work with no network at all.
    browser.set_network_conditions(offline=True, latency=0, download_throughput=0, upload_throughput=0)
    browser.find_element(By.ID, "start").click()
    WebDriverWait(browser, 60).until(
        lambda b: len(b.find_elements(By.CSS_SELECTOR, "#utterances li")) >= 2
        or "error" in b.find_element(By.ID, "live-message").get_attribute("class"))
    assert "Listening at" in text_of(browser, "live-message"), text_of(browser, "live-message")
    rate = int(re.search(r"at (\d+) Hz", text_of(browser, "live-message")).group(1))
    heard = [(int(li.get_attribute("data-begin-sample")), int(li.get_attribute("data-end-sample")))
             for li in browser.find_elements(By.CSS_SELECTOR, "#utterances li")][:2]

    # The same audio at the context's rate through the command line; the device starts playing
    # at no particular sample, so the lengths are compared, within two frames.
    reference = capture_file if rate == 44100 else resample(SPEECH, rate, tmp_path / f"speech-{rate}.wav")
    report = json.loads(tessel("analyze", "--json", reference.name, cwd=reference.parent).stdout)
    assert len(report["utterances"]) == 2
    for (begin, end), u in zip(heard, report["utterances"]):
        assert abs((end - begin) - (u["endSample"] - u["beginSample"])) <= 2 * report["frameSize"], (
            heard, report["utterances"])

    # The last utterance saved as WAV holds exactly its samples at the context's rate.
    browser.find_element(By.ID, "save").click()
    saved = browser.downloads / "utterance-2.wav"
    WebDriverWait(browser, 10).until(lambda b: saved.exists() and saved.stat().st_size > 44)
    with wave.open(str(saved)) as recording:
        assert (recording.getframerate(), recording.getnchannels(), recording.getsampwidth()) == (rate, 1, 2)
        assert recording.getnframes() == heard[1][1] - heard[1][0]

    # The picture for the README: the live run, and the bundled recording dropped beside it.
    browser.find_element(By.ID, "start").click()
    choose(browser, SPEECH)
    browser.execute_script("document.querySelector('details').open = true")
    SCREENSHOT.parent.mkdir(parents=True, exist_ok=True)
    browser.save_screenshot(str(SCREENSHOT))
    browser.delete_network_conditions()
