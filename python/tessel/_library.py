"""Finds and loads the Tessel shared library and declares its eight C functions for ctypes."""

import ctypes
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


def _candidates():
    explicit = os.environ.get("TESSEL_LIBRARY")
    if explicit:
        return [explicit], "TESSEL_LIBRARY=" + explicit
    if sys.platform == "win32":
        return [_WINDOWS_NAME], _WINDOWS_NAME + " (beside the program or on PATH)"
    return [_SONAME], _SONAME + " (the system's library path, LD_LIBRARY_PATH)"


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
            names, where = _candidates()
            errors = []
            for name in names:
                try:
                    # __cdecl on 32-bit Windows, the platform's C convention elsewhere: CDLL.
                    lib = ctypes.CDLL(name)
                except OSError as error:
                    errors.append(str(error))
                    continue
                _declare(lib)
                _library = lib
                break
            else:
                raise LibraryNotFoundError(
                    f"cannot load the Tessel library from {where}: {'; '.join(errors)}. "
                    "Install it (cmake --install, then ldconfig), or set TESSEL_LIBRARY to the "
                    "file's path"
                )
        return _library

