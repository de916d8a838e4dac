"""The Windows release made by scripts/package: what the zip and the Python wheels hold, the
notices of the runtime code linked into its binaries, and hosts built against each of its
folders, the MinGW way and the MSVC way (lld-link, Tessel.lib, no C runtime), run under wine.
64-bit hosts run everywhere; 32-bit hosts are built everywhere and run where the machine runs
32-bit programs, and are reported as skipped, with the reason, elsewhere. No Windows Python is
here: the wheels are checked from their files, and the loader's choice of path by the Python
suite."""

import base64
import hashlib
import os
import pathlib
import shutil
import struct
import subprocess
import zipfile

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
OUTPUT = pathlib.Path(os.environ.get("TESSEL_PACKAGE_DIR", ROOT / "build" / "package"))
FOLDER_FILES = ["Prunell.exe", "Tessel.dll", "Tessel.lib", "Vaultsweep.exe",
                "libTessel.dll.a", "tessel.def", "tessel.h"]
# folder: (compiler triple's architecture, lld-link machine, PE machine type, bits)
ARCHES = {"win32": ("i686", "x86", 0x14C, 32), "win64": ("x86_64", "x64", 0x8664, 64)}
# The wheel's platform tag for each folder: what Python reports on that Windows.
WHEEL_PLATFORMS = {"win32": "win32", "win64": "win_amd64"}
# What the binaries may import: Windows' own DLLs. The compilers' runtimes are linked in, and the
# release carries their notices, one marker of each here.
SYSTEM_DLLS = {"KERNEL32.dll", "msvcrt.dll", "USER32.dll", "SHELL32.dll", "ADVAPI32.dll"}
NOTICES = ["GCC RUNTIME LIBRARY EXCEPTION", "Copyright (c) 2009-2016 the mingw-w64 project",
           "Copyright (c) 1997-2001 Lucent Technologies", "winpthreads",
           "Copyright (c) 2011-2016 mingw-w64 project", "Copyright (c) 2010 Lockless Inc."]


@pytest.fixture(scope="module")
def release():
    cache = (ROOT / "build" / "win64" / "CMakeCache.txt").read_text()
    version = next(line.split("=", 1)[1] for line in cache.splitlines()
                   if line.startswith("CMAKE_PROJECT_VERSION:"))
    path = OUTPUT / f"tessel-{version}-windows.zip"
    if not path.exists():
        pytest.fail(f"{path} is missing: run scripts/package first")
    return version, path


@pytest.fixture(scope="module")
def unpacked(release, tmp_path_factory):
    folder = tmp_path_factory.mktemp("release")
    with zipfile.ZipFile(release[1]) as archive:
        archive.extractall(folder)
    return folder


@pytest.fixture(scope="module")
def wine():
    """Runs a Windows program in the output folder's own prefix, as cmake/wine-run does. One
    persistent wine server serves every program of this module, as scripts/lib/run-windows-tests
    does for a suite: a server that wine starts by itself exits with its last program and drops
    a program connecting at that instant."""
    prefix = OUTPUT / "wineprefix"
    ready = prefix / ".tessel-ready"
    env = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    loader64 = "/usr/lib/wine/wine64"
    server = "/usr/lib/wine/wineserver64"

    def server_running():
        return subprocess.run([server, "-k0"], env=env, capture_output=True).returncode == 0

    def stop_server():
        subprocess.run([server, "-k"], env=env, capture_output=True)
        subprocess.run([server, "-w"], env=env, check=True, timeout=60)

    if server_running():
        stop_server()
    new_prefix = not ready.exists()
    if new_prefix:
        shutil.rmtree(prefix, ignore_errors=True)
        prefix.mkdir(parents=True)
    refusal = subprocess.run([str(ROOT / "scripts" / "lib" / "runs-32bit")],
                             capture_output=True, text=True)

    def run(program, bits):
        if bits == 32 and refusal.returncode != 0:
            pytest.skip(f"32-bit host built but NOT run: {refusal.stdout.strip()}")
        assert server_running(), f"the wine server of {prefix} is gone"
        if bits == 64:
            command, loader_env = [loader64, program.name], dict(env, WINELOADER=loader64)
        else:
            command, loader_env = ["wine", program.name], env
        return subprocess.run(command, cwd=program.parent, env=loader_env, capture_output=True,
                              text=True, timeout=120)

    def setup_step(*arguments):
        """Its output goes to a file: the system programs it starts live as long as the server
        and keep what they inherited open, so a pipe read to its end would never end."""
        log = prefix / ".tessel-setup.log"
        with log.open("w") as output:
            done = subprocess.run([loader64, *arguments], env=dict(env, WINELOADER=loader64),
                                  stdout=output, stderr=subprocess.STDOUT, timeout=300)
        assert done.returncode == 0, f"{' '.join(arguments)} failed:\n{log.read_text()}"

    subprocess.run([server, "-p"], env=env, check=True, timeout=60)
    try:
        if new_prefix:
            setup_step("wineboot.exe", "-i")
        # wine's system programs start here, not with a host whose output is read to its end.
        setup_step("wineboot.exe")
        yield run
    finally:
        stop_server()
    # Only a stopped server has written the registry.
    if new_prefix:
        ready.touch()


def pe_machine(file):
    data = file if isinstance(file, bytes) else file.read_bytes()
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[offset : offset + 4] == b"PE\0\0", file
    return struct.unpack_from("<H", data, offset + 4)[0]


def test_the_zip_holds_the_release_and_a_checksum_of_everything_else(release, unpacked):
    version, path = release
    with zipfile.ZipFile(path) as archive:
        names = sorted(archive.namelist())
    folders = [f"{folder}/{name}" for folder in ARCHES for name in FOLDER_FILES]
    assert names == sorted(["LICENSE.txt", "README.txt", "SHA256SUMS", "THIRD-PARTY-NOTICES.txt",
                            *folders])

    sums = {}
    for line in (unpacked / "SHA256SUMS").read_text().splitlines():
        digest, name = line.split("  ", 1)
        sums[name] = digest
    assert sorted(sums) == sorted(set(names) - {"SHA256SUMS"})
    for name, digest in sums.items():
        assert hashlib.sha256((unpacked / name).read_bytes()).hexdigest() == digest, name

    assert f"Tessel {version} for Windows" in (unpacked / "README.txt").read_text()
    for folder, (_, _, machine, _) in ARCHES.items():
        assert (unpacked / folder / "tessel.h").read_bytes() == (
            ROOT / "include" / "tessel.h").read_bytes()
        assert (unpacked / folder / "tessel.def").read_bytes() == (
            ROOT / "signal_quality" / "tessel.def").read_bytes()
        for program in ("Tessel.dll", "Prunell.exe", "Vaultsweep.exe"):
            assert pe_machine(unpacked / folder / program) == machine, f"{folder}/{program}"


def imports(path):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)], check=True,
                          capture_output=True, text=True).stdout
    return {line.split(":", 1)[1].strip() for line in dump.splitlines()
            if line.strip().startswith("DLL Name:")}


def test_the_release_carries_the_notices_of_what_its_binaries_link_in(unpacked):
    for folder in ARCHES:
        for program in ("Tessel.dll", "Prunell.exe", "Vaultsweep.exe"):
            found = imports(unpacked / folder / program)
            assert "KERNEL32.dll" in found and found <= SYSTEM_DLLS, f"{folder}/{program}"
    text = (unpacked / "THIRD-PARTY-NOTICES.txt").read_bytes()
    assert text == (ROOT / "packaging" / "THIRD-PARTY-NOTICES.txt").read_bytes().replace(
        b"\n", b"\r\n")
    text = text.decode()
    assert [marker for marker in NOTICES if marker not in text] == []


@pytest.mark.parametrize("folder", ARCHES)
def test_the_wheel_is_the_package_with_the_folders_dll_tagged_for_its_windows(
        folder, release, unpacked):
    version, _ = release
    tag = f"py3-none-{WHEEL_PLATFORMS[folder]}"
    wheel = OUTPUT / f"tessel-{version}-{tag}.whl"
    info = f"tessel-{version}.dist-info"
    package = sorted(f"tessel/{path.name}" for path in (ROOT / "python" / "tessel").glob("*.py"))
    with zipfile.ZipFile(wheel) as archive:
        names = sorted(archive.namelist())
        assert names == sorted([*package, "tessel/Tessel.dll", "tessel/LICENSE",
                                "tessel/THIRD-PARTY-NOTICES.txt", f"{info}/METADATA",
                                f"{info}/WHEEL", f"{info}/top_level.txt", f"{info}/RECORD"])
        described = archive.read(f"{info}/WHEEL").decode()
        assert f"Tag: {tag}\n" in described and "Root-Is-Purelib: false\n" in described
        assert f"Version: {version}\n" in archive.read(f"{info}/METADATA").decode()
        dll = archive.read("tessel/Tessel.dll")
        # The release's own DLL, of the folder's machine type.
        assert dll == (unpacked / folder / "Tessel.dll").read_bytes()
        assert pe_machine(dll) == ARCHES[folder][2]
        notices = archive.read("tessel/THIRD-PARTY-NOTICES.txt").decode()
        assert [marker for marker in NOTICES if marker not in notices] == []
        # pip refuses a wheel whose files do not match its RECORD.
        for line in archive.read(f"{info}/RECORD").decode().splitlines():
            name, digest, _ = line.rsplit(",", 2)
            if digest:
                actual = base64.urlsafe_b64encode(hashlib.sha256(archive.read(name)).digest())
                assert digest == "sha256=" + actual.rstrip(b"=").decode(), name


@pytest.mark.parametrize("folder", ARCHES)
def test_a_mingw_host_builds_against_the_folder_and_runs(folder, unpacked, wine):
    arch, _, _, bits = ARCHES[folder]
    # The command of the release's README, with this test's host.
    subprocess.run([f"{arch}-w64-mingw32-gcc", "-std=c11", "-Wall", "-Werror", "-I", folder,
                    str(ROOT / "tests" / "package" / "mingw_host.c"),
                    f"{folder}/libTessel.dll.a", "-o", f"{folder}/mingw_host.exe"],
                   cwd=unpacked, check=True)
    run = wine(unpacked / folder / "mingw_host.exe", bits)
    assert run.returncode == 0, run.stdout + run.stderr
    assert run.stdout.startswith("mingw host: speech ")


@pytest.mark.parametrize("folder", ARCHES)
def test_a_host_linked_the_msvc_way_without_a_runtime_runs(folder, unpacked, wine):
    arch, machine, _, bits = ARCHES[folder]
    work = unpacked / folder
    subprocess.run(["clang", f"--target={arch}-pc-windows-msvc", "-ffreestanding",
                    "-fno-builtin", "-O2", "-Wall", "-Werror", "-I", str(work), "-c",
                    str(ROOT / "tests" / "package" / "msvc_host.c"), "-o",
                    str(work / "msvc_host.obj")], check=True)
    subprocess.run(["lld-link", "/nologo", "/entry:HostEntry", "/subsystem:console",
                    "/nodefaultlib", f"/machine:{machine}", f"/out:{work / 'msvc_host.exe'}",
                    str(work / "msvc_host.obj"), str(work / "Tessel.lib")], check=True)
    run = wine(work / "msvc_host.exe", bits)
    # The status is the number of the first check that failed.
    assert run.returncode == 0, f"check {run.returncode} failed"
