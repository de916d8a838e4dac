"""The package's version is the project's: read from project() in the top-level CMakeLists.txt."""

import pathlib
import re

from setuptools import setup

cmake_lists = pathlib.Path(__file__).resolve().parent.parent / "CMakeLists.txt"
version = re.search(r"project\(\s*Tessel\s+VERSION\s+([0-9.]+)", cmake_lists.read_text())
setup(version=version.group(1))
