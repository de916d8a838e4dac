"""Finds and loads the Tessel shared library and declares its eight C functions for ctypes."""

import ctypes
import ctypes.util
import os
import sys
import threading

from .errors import LibraryNotFoundError

# Programs built against libtessel.so load it by its SONAME; so does this package, so that it
# takes the library of the same major version from wherever the system's loader finds it.
_SONAME = "libtessel.so.1"
_WINDOWS_NAME = "Tessel.dll"

_lock = threading.Lock()
_library = None


def _where():
    """The name to load, and how to say where it was looked for."""
    explicit = os.environ.get("TESSEL_LIBRARY")
    if explicit:
        return explicit, "TESSEL_LIBRARY=" + explicit
    if sys.platform == "win32":
        # Python does not search PATH for DLLs by itself; find_library does. The DLL's folder in
        # the release must match the interpreter: win32 for 32-bit Python, win64 for 64-bit.
        found = ctypes.util.find_library("Tessel")
        return found or _WINDOWS_NAME, _WINDOWS_NAME + " (on PATH, or beside python.exe)"
    return _SONAME, _SONAME + " (the system's library path, LD_LIBRARY_PATH)"


def _declare(lib):
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
    }
    for name, (result, arguments) in signatures.items():
        try:
            function = getattr(lib, name)
        except AttributeError:
            raise LibraryNotFoundError(
                f"{lib._name} does not export {name}: it is not a Tessel library"
            ) from None
        function.restype = result
        function.argtypes = arguments


def library():
    """The loaded library; loaded on first use, so that importing never needs it."""
    global _library
    with _lock:
        if _library is None:
            name, where = _where()
            try:
                # __cdecl on 32-bit Windows, the platform's C convention elsewhere: CDLL.
                lib = ctypes.CDLL(name)
            except OSError as error:
                raise LibraryNotFoundError(
                    f"cannot load the Tessel library from {where}: {error}. Install it (cmake "
                    "--install, then ldconfig), or set TESSEL_LIBRARY to the file's path"
                ) from None
            _declare(lib)
            _library = lib
        return _library

