#pragma once

// Tessel.dll as a host loads it: at run time, every entry point looked up by its plain name.
#include <windows.h>

inline HMODULE TesselLibrary() {
  static HMODULE library = LoadLibraryW(L"Tessel.dll");
  return library;
}

template <typename Function>
Function TesselExport(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(TesselLibrary(), name)));
}
