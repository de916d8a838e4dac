"""`pip install` builds the library into the package, offline, with no library installed and no
TESSEL_LIBRARY: from the source tree, and from the source distribution unpacked elsewhere by way
of its platform wheel. The installed package must load its own copy."""

import json
import os
import platform
import shutil
import subprocess
import sys
import tarfile
import zipfile

import pytest

from conftest import ROOT, SPEECH, project_version, run_cli

# Run in the fresh environment: what the installed package is, which library it loaded, and what
# it makes of the bundled recording.
PROBE = f"""
import importlib.metadata, json, soundfile, tessel
from tessel import _library
samples, rate = soundfile.read({str(SPEECH)!r}, dtype="int16")
with tessel.Stream(rate, 320, trace=True) as stream:
    stream.push(samples[: len(samples) // 320 * 320])
print(json.dumps({{
    "version": importlib.metadata.version("tessel"),
    "package": tessel.__file__,
    "library": _library._file_of(_library.library()),
    "trace_library": _library._file_of(_library.trace_library()),
    "snr": tessel.snr(samples),
    "records": len(stream.trace),
    "line": tessel.json_line(tessel.analyze_file({str(SPEECH)!r})),
}}))
"""


@pytest.fixture(scope="module")
def source(tmp_path_factory):
    """A copy of the project's tree, so that building leaves nothing behind in the real one."""
    copy = tmp_path_factory.mktemp("source") / "tessel"
    shutil.copytree(ROOT, copy, ignore=shutil.ignore_patterns(
        ".git", "build", "node_modules", "*.egg-info", "__pycache__"))
    return copy


def clean_environment():
    """No way to a library but the package's own: no TESSEL_LIBRARY, no LD_LIBRARY_PATH."""
    drop = ("TESSEL_LIBRARY", "TESSEL_TRACE_LIBRARY", "LD_LIBRARY_PATH", "PYTHONPATH")
    env = {key: value for key, value in os.environ.items() if key not in drop}
    return dict(env, PIP_CONFIG_FILE=os.devnull, CMAKE_BUILD_PARALLEL_LEVEL="2")


def installed(tmp_path, what):
    """A fresh virtual environment (the system's numpy and soundfile visible) with what
    pip-installed offline; returns what PROBE prints there."""
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip",
                    str(venv)], check=True)
    python = str(venv / "bin" / "python")
    install = subprocess.run(
        [python, "-m", "pip", "install", "--no-index", "--no-build-isolation", "--quiet",
         str(what)], capture_output=True, text=True, env=clean_environment())
    assert install.returncode == 0, install.stdout + install.stderr
    run = subprocess.run([python, "-c", PROBE], capture_output=True, text=True, cwd=tmp_path,
                         env=clean_environment())
    assert run.returncode == 0, run.stderr
    found = json.loads(run.stdout)
    package = os.path.dirname(found["package"])
    assert package.startswith(str(venv)) and package.endswith("site-packages/tessel")
    assert found["library"] == os.path.join(package, "libtessel.so.1")
    assert found["trace_library"] == os.path.join(package, "libtessel_trace.so")
    assert found["version"] == project_version()
    line = run_cli(SPEECH)[0][0]
    cli = json.loads(line)
    assert found["line"] == line
    assert found["snr"] == [cli["speech"]["beginSample"], cli["speech"]["endSample"],
                            cli["snrDb"]]
    assert found["records"] > 100


def test_pip_install_from_the_source_tree_builds_the_library_into_the_package(source, tmp_path):
    installed(tmp_path, source / "python")


def test_the_sdist_builds_elsewhere_into_a_platform_wheel_that_installs(source, tmp_path):
    dist = tmp_path / "dist"
    subprocess.run([sys.executable, "-m", "build", "--sdist", "--no-isolation", "--outdir",
                    str(dist), str(source / "python")], check=True, capture_output=True,
                   env=clean_environment())
    version = project_version()
    sdist = dist / f"tessel-{version}.tar.gz"
    with tarfile.open(sdist) as archive:
        names = {name.split("/", 1)[1] for name in archive.getnames() if "/" in name}
        # Away from the tree it needs the library's sources, and nothing else of the project.
        assert {"setup.py", "tessel/core.py", "native/CMakeLists.txt", "native/include/tessel.h",
                "native/signal_quality/tessel.def", "native/cmake/TesselInstall.cmake",
                "native/LICENSE"} <= names
        assert not [name for name in names if "tests" in name.split("/")]
        assert sdist.stat().st_size < 200_000
        elsewhere = tmp_path / "elsewhere"
        archive.extractall(elsewhere)
    unpacked = elsewhere / f"tessel-{version}"
    subprocess.run([sys.executable, "-m", "build", "--wheel", "--no-isolation", "--outdir",
                    str(dist), str(unpacked)], check=True, capture_output=True,
                   env=clean_environment())

    tag = f"py3-none-linux_{platform.machine()}"
    wheel = dist / f"tessel-{version}-{tag}.whl"
    with zipfile.ZipFile(wheel) as archive:
        names = set(archive.namelist())
        described = archive.read(f"tessel-{version}.dist-info/WHEEL").decode()
    assert {"tessel/libtessel.so.1", "tessel/libtessel_trace.so", "tessel/LICENSE"} <= names
    assert f"Tag: {tag}\n" in described and "Root-Is-Purelib: false\n" in described
    installed(tmp_path, wheel)
