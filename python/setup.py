"""Builds the Tessel library from the project's C++ sources with CMake and puts it inside the
package, so that installing needs no separate build step; the package's version is the
project's, read from project() in the top CMakeLists.txt.

The C++ sources are the project tree around this folder, or, in a source distribution, the
folder `native/` beside this file, which `sdist` fills with what the library's build needs.

TESSEL_PREBUILT_DIR names a folder holding a library already built and the notices of what it
links in (Tessel.dll of a mingw build and THIRD-PARTY-NOTICES.txt, for the Windows wheels) to
package instead of building; `bdist_wheel --plat-name` then tags the wheel.
"""

import os
import pathlib
import re
import shutil
import subprocess
import tempfile

from setuptools import Command, Distribution, setup
from setuptools.command.build import build
from setuptools.command.sdist import sdist
from wheel.bdist_wheel import bdist_wheel

HERE = pathlib.Path(__file__).resolve().parent
SHIPPED_NATIVE = HERE / "native"
NATIVE = SHIPPED_NATIVE if SHIPPED_NATIVE.is_dir() else HERE.parent

# What a library-only build reads, relative to the project's root: the top CMakeLists.txt, its
# cmake/ modules, the public header and the library's sources without their tests.
NATIVE_FILES = ["CMakeLists.txt", "LICENSE", "include/tessel.h"]
NATIVE_GLOBS = ["cmake/*.cmake", "cmake/*.in", "signal_quality/**/*"]

# The files of a native build that the package carries, by platform: the library, and where
# there is one the trace library that Stream(trace=True) loads from beside it. The Linux
# libraries link the system's C and C++ runtimes dynamically; the Windows DLL has them linked in,
# so it comes with their notices.
PACKAGED = {"linux": ["libtessel.so.1", "libtessel_trace.so"],
            "windows": ["Tessel.dll", "THIRD-PARTY-NOTICES.txt"]}


def project_version(root):
    if not (root / "CMakeLists.txt").is_file():
        raise SystemExit(f"the library's sources are missing: no native/ beside setup.py and no "
                         f"project tree at {root}")
    text = (root / "CMakeLists.txt").read_text()
    found = re.search(r"project\(\s*Tessel\s+VERSION\s+([0-9.]+)", text)
    if not found:
        raise SystemExit(f"no project(Tessel VERSION ...) in {root / 'CMakeLists.txt'}")
    return found.group(1)


def native_sources(root):
    """The project's files a library-only build needs, relative to root."""
    files = [pathlib.Path(name) for name in NATIVE_FILES]
    for pattern in NATIVE_GLOBS:
        files += [path.relative_to(root) for path in root.glob(pattern)
                  if path.is_file() and "tests" not in path.relative_to(root).parts]
    return sorted(set(files))


def build_library(source, work, output):
    """Configures and builds the library alone with CMake, and installs the packaged files,
    stripped, into output."""
    configure = [
        "cmake", "-S", str(source), "-B", str(work), "-DCMAKE_BUILD_TYPE=Release",
        "-DBUILD_TESTING=OFF", "-DTESSEL_BUILD_CLI=OFF", "-DTESSEL_BUILD_TOOLS=OFF",
        "-DTESSEL_BUILD_BENCH=OFF", "-DTESSEL_BUILD_FUZZ=OFF", "-DCMAKE_INSTALL_LIBDIR=lib",
    ]
    jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 1)
    stage = work / "stage"
    shutil.rmtree(stage, ignore_errors=True)
    for command in (
        configure,
        ["cmake", "--build", str(work), "--parallel", jobs, "--target", "tessel", "tessel_trace"],
        ["cmake", "--install", str(work), "--prefix", str(stage), "--component", "runtime",
         "--strip"],
        ["cmake", "--install", str(work), "--prefix", str(stage), "--component", "trace",
         "--strip"],
    ):
        try:
            subprocess.run(command, check=True)
        except FileNotFoundError:
            raise SystemExit("building the Tessel library needs CMake (>= 3.25) and a C++20 "
                             "compiler on PATH") from None
        except subprocess.CalledProcessError as error:
            raise SystemExit(f"building the Tessel library failed: {' '.join(command)} exited "
                             f"with status {error.returncode}") from None
    copy_packaged(stage / "lib", output, PACKAGED["linux"])


def copy_packaged(folder, output, names):
    """Copies names from folder into output; symbolic links become the files they point to,
    since a wheel holds none."""
    output.mkdir(parents=True, exist_ok=True)
    for name in names:
        path = folder / name
        if not path.is_file():
            raise SystemExit(f"{path} is missing: the native build made no {name}")
        shutil.copyfile(path, output / name)


class build_native(Command):
    """Puts the native library into the built package: built here with CMake, or taken from
    TESSEL_PREBUILT_DIR."""

    description = "build the Tessel library with CMake into the package"
    user_options = []

    def initialize_options(self):
        self.build_lib = None

    def finalize_options(self):
        self.set_undefined_options("build", ("build_lib", "build_lib"))

    def run(self):
        output = pathlib.Path(self.build_lib) / "tessel"
        copy_packaged(NATIVE, output, ["LICENSE"])
        prebuilt = os.environ.get("TESSEL_PREBUILT_DIR")
        if prebuilt:
            copy_packaged(pathlib.Path(prebuilt), output, PACKAGED["windows"])
            return
        with tempfile.TemporaryDirectory(prefix="tessel-native-") as work:
            build_library(NATIVE, pathlib.Path(work), output)


class build_with_native(build):
    sub_commands = build.sub_commands + [("build_native", None)]


class sdist_with_native(sdist):
    """The source distribution carries the library's sources in native/, so that it builds
    away from the project's tree."""

    def make_release_tree(self, base_dir, files):
        super().make_release_tree(base_dir, files)
        if NATIVE is SHIPPED_NATIVE:
            shutil.copytree(NATIVE, pathlib.Path(base_dir) / "native")
            return
        for relative in native_sources(NATIVE):
            target = pathlib.Path(base_dir) / "native" / relative
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(NATIVE / relative, target)


class with_native_library(Distribution):
    """Holds a native library: built and installed for one platform (platlib, not purelib)."""

    def has_ext_modules(self):
        return True


class platform_wheel(bdist_wheel):
    """A wheel for one platform but any Python 3: the library is loaded through ctypes, so no
    Python ABI is involved."""

    def get_tag(self):
        _, _, platform = super().get_tag()
        return "py3", "none", platform


setup(
    distclass=with_native_library,
    version=project_version(NATIVE),
    cmdclass={
        "build": build_with_native,
        "build_native": build_native,
        "sdist": sdist_with_native,
        "bdist_wheel": platform_wheel,
    },
)
