"""The page in Debian's headless Chromium, served by Python's http.server from the assembled
folder (build/wasm/page, or TESSEL_WEB_DIR), against the native command line (build/native, or
TESSEL_BUILD_DIR)."""

import functools
import http.server
import os
import pathlib
import subprocess
import threading

import pytest
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

ROOT = pathlib.Path(__file__).resolve().parents[2]
WEB = pathlib.Path(os.environ.get("TESSEL_WEB_DIR", ROOT / "build" / "wasm" / "page"))
BUILD = pathlib.Path(os.environ.get("TESSEL_BUILD_DIR", ROOT / "build" / "native"))
CLI = BUILD / "bin" / "tessel"
SPEECH = ROOT / "samples" / "speech-16k.wav"
RATES = (8000, 11025, 16000, 22050, 44100, 48000)
# Where the live test leaves its picture of the page; web/screenshot.png is a copy of one.
SCREENSHOT = pathlib.Path(os.environ.get("TESSEL_WEB_SCREENSHOT", WEB.parent / "web-screenshot.png"))


def pytest_configure(config):
    for needed in (WEB / "index.html", WEB / "tessel-report.wasm", WEB / "tessel" / "tessel.mjs", CLI):
        if not needed.exists():
            raise pytest.UsageError(f"{needed} is missing: build tessel_web (wasm) and tessel_cli (native)")


def sox(source, target, *output_options):
    """sox without dither, so that every run makes the same file."""
    subprocess.run(["sox", "-D", str(source), *map(str, output_options), str(target)], check=True)
    return target


def resample(source, rate, target):
    return sox(source, target, "-r", rate, "-b", 16)


def tessel(*arguments, cwd):
    return subprocess.run([str(CLI), *map(str, arguments)], capture_output=True, text=True, cwd=cwd)


@pytest.fixture(scope="session")
def server():
    handler = functools.partial(QuietHandler, directory=str(WEB))
    with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as httpd:
        threading.Thread(target=httpd.serve_forever, daemon=True).start()
        yield f"http://127.0.0.1:{httpd.server_address[1]}/"
        httpd.shutdown()


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *arguments):
        pass


@pytest.fixture(scope="session")
def capture_file(tmp_path_factory):
    """The bundled recording at 44100 Hz, the rate Chromium's fake capture device runs at."""
    return resample(SPEECH, 44100, tmp_path_factory.mktemp("capture") / "speech-44100.wav")


@pytest.fixture(scope="session")
def browser(capture_file, tmp_path_factory):
    downloads = tmp_path_factory.mktemp("downloads")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--window-size=1100,1700",
                     "--use-fake-device-for-media-stream", "--use-fake-ui-for-media-stream",
                     f"--use-file-for-fake-audio-capture={capture_file}",
                     "--autoplay-policy=no-user-gesture-required"):
        options.add_argument(argument)
    options.add_experimental_option("prefs", {"download.default_directory": str(downloads),
                                              "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.downloads = downloads
    yield driver
    driver.quit()
