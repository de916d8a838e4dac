"""Finds and loads the Tessel shared library and declares its eight C functions for ctypes; and,
for streams that watch the detector, the trace library beside it."""

import ctypes
import ctypes.util
import os
import sys
import threading

from .errors import LibraryNotFoundError

# Programs built against libtessel.so load it by its SONAME; so does this package where it has
# no copy of its own (run from the source tree), so that it takes the library of the same major
# version from wherever the system's loader finds it.
_SONAME = "libtessel.so.1"
_WINDOWS_NAME = "Tessel.dll"
# An installed package carries its own copy, built for it, in its folder.
_PACKAGE = os.path.dirname(os.path.abspath(__file__))

# The native build installs it beside libtessel.so; Tessel.dll has no such companion.
_TRACE_NAME = "libtessel_trace.so"

# Reentrant: loading the trace library first loads libtessel to learn where it is.
_lock = threading.RLock()
_loaded = {}

# A detector record comes to the observer as (user, record address); the record lives only
# during the call.
TRACE_OBSERVER = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_void_p)


def _where(package=_PACKAGE):
    """The name to load, and how to say where it was looked for: the file TESSEL_LIBRARY names,
    else the package's own copy (what `pip install` builds into it), else the system's."""
    explicit = os.environ.get("TESSEL_LIBRARY")
    if explicit:
        return explicit, "TESSEL_LIBRARY=" + explicit
    windows = sys.platform == "win32"
    own = os.path.join(package, _WINDOWS_NAME if windows else _SONAME)
    if os.path.isfile(own):
        return own, own + " (the package's own copy)"
    if windows:
        # Python does not search PATH for DLLs by itself; find_library does. The DLL's folder in
        # the release must match the interpreter: win32 for 32-bit Python, win64 for 64-bit.
        found = ctypes.util.find_library("Tessel")
        return found or _WINDOWS_NAME, _WINDOWS_NAME + " (on PATH, or beside python.exe)"
    return _SONAME, _SONAME + " (the system's library path, LD_LIBRARY_PATH)"


def _declare(lib, extra=None, what="a Tessel library"):
    c_int32, c_void_p = ctypes.c_int32, ctypes.c_void_p
    p_int32 = ctypes.POINTER(c_int32)
    # Samples go in as the address of a numpy array's data: c_void_p.
    signatures = {
        "Tessel_Init": (c_void_p, [c_int32, c_int32]),
        "Tessel_Release": (c_int32, [c_void_p]),
        "Tessel_Reset": (c_int32, [c_void_p]),
        "Tessel_AddSample": (c_int32, [c_void_p, c_void_p]),
        "Tessel_GetUttrEPD": (c_int32, [c_void_p, p_int32, p_int32]),
        "Tessel_SetVADThreshold": (c_int32, [c_void_p, c_int32]),
        "Tessel_GetSNR": (
            c_int32,
            [c_void_p, c_void_p, c_int32, p_int32, p_int32, ctypes.POINTER(ctypes.c_float)],
        ),
        "Tessel_VerInfo": (ctypes.c_char_p, []),
        **(extra or {}),
    }
    for name, (result, arguments) in signatures.items():
        try:
            function = getattr(lib, name)
        except AttributeError:
            raise LibraryNotFoundError(
                f"{lib._name} does not export {name}: it is not {what}"
            ) from None
        function.restype = result
        function.argtypes = arguments


def _load(key, where, title, advice, extra=None, what="a Tessel library"):
    """The library `where()` names, loaded and declared on first use and kept under key."""
    with _lock:
        if key not in _loaded:
            name, place = where()
            try:
                # __cdecl on 32-bit Windows, the platform's C convention elsewhere: CDLL.
                lib = ctypes.CDLL(name)
            except OSError as error:
                raise LibraryNotFoundError(
                    f"cannot load {title} from {place}: {error}. {advice}"
                ) from None
            _declare(lib, extra, what)
            _loaded[key] = lib
        return _loaded[key]


def library():
    """The loaded library; loaded on first use, so that importing never needs it."""
    return _load("tessel", _where, "the Tessel library",
                 "Install the package with pip, which builds the library into it; or install "
                 "the library (cmake --install, then ldconfig), or set TESSEL_LIBRARY to the "
                 "file's path")


class _DlInfo(ctypes.Structure):
    _fields_ = [("dli_fname", ctypes.c_char_p), ("dli_fbase", ctypes.c_void_p),
                ("dli_sname", ctypes.c_char_p), ("dli_saddr", ctypes.c_void_p)]


def _file_of(lib):
    """The file the loader took lib from, wherever its search found it."""
    dladdr = ctypes.CDLL(None).dladdr
    dladdr.argtypes = [ctypes.c_void_p, ctypes.POINTER(_DlInfo)]
    info = _DlInfo()
    if not dladdr(ctypes.cast(lib.Tessel_VerInfo, ctypes.c_void_p), info) or not info.dli_fname:
        raise LibraryNotFoundError(f"cannot tell which file {lib._name} was loaded from")
    return os.fsdecode(info.dli_fname)


def _trace_where():
    """The trace library to load, and how to say where it was looked for."""
    explicit = os.environ.get("TESSEL_TRACE_LIBRARY")
    if explicit:
        return explicit, "TESSEL_TRACE_LIBRARY=" + explicit
    if sys.platform == "win32":
        raise LibraryNotFoundError(
            "Stream(trace=True) needs libtessel_trace.so, which only the native Linux build "
            "makes: Tessel.dll does not let a host watch the detector"
        )
    # Beside the very libtessel in use, so that both come from the same build.
    beside = os.path.join(os.path.dirname(_file_of(library())), _TRACE_NAME)
    return beside, beside + " (beside the loaded libtessel)"


def trace_library():
    """The trace library: the eight functions on contexts of its own, and TesselTrace_SetObserver
    to watch one. Loaded on first use, like library()."""
    setter = (ctypes.c_int32, [ctypes.c_void_p, TRACE_OBSERVER, ctypes.c_void_p])
    return _load("trace", _trace_where, "the Tessel trace library",
                 "The native build makes it and installs it beside libtessel.so; or set "
                 "TESSEL_TRACE_LIBRARY to the file's path",
                 {"TesselTrace_SetObserver": setter}, "the Tessel trace library")
