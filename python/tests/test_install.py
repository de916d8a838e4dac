"""The package installs from the source tree with no registry and no compiler, and the installed
copy finds the library as an installed program would."""

import os
import shutil
import subprocess
import sys

from conftest import BUILD, ROOT, SPEECH, project_version, run_cli


def test_installs_offline_into_a_virtual_environment(tmp_path):
    # A copy of the tree, so that the build leaves nothing behind in the real one.
    source = tmp_path / "source"
    shutil.copytree(ROOT / "python", source / "python",
                    ignore=shutil.ignore_patterns("build", "*.egg-info", "__pycache__"))
    shutil.copy(ROOT / "CMakeLists.txt", source)
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip",
                    str(venv)], check=True)
    python = str(venv / "bin" / "python")
    env = {key: value for key, value in os.environ.items()
           if key not in ("TESSEL_LIBRARY", "PYTHONPATH")}
    install = subprocess.run(
        [python, "-m", "pip", "install", "--no-index", "--no-build-isolation", "--quiet",
         str(source / "python")],
        capture_output=True, text=True, env=dict(env, PIP_CONFIG_FILE=os.devnull))
    assert install.returncode == 0, install.stdout + install.stderr

    code = ("import importlib.metadata, tessel\n"
            "print(importlib.metadata.version('tessel'), tessel.__file__)\n"
            f"print(tessel.json_line(tessel.analyze_file({str(SPEECH)!r})), end='')\n")
    run = subprocess.run([python, "-c", code], capture_output=True, text=True, cwd=tmp_path,
                         env=dict(env, LD_LIBRARY_PATH=str(BUILD / "bin")))
    assert run.returncode == 0, run.stderr
    first, line = run.stdout.split("\n", 1)
    version, location = first.split(" ", 1)
    assert version == project_version()
    assert location.startswith(str(venv))
    assert line == run_cli(SPEECH)[0][0]
