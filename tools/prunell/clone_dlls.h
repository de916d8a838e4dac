#pragma once

// Deletes the clone device DLLs, QRX_lib*.dll, in dllFolder, except QRX_libAdb.dll,
// QRX_libTR16DSP.dll and QRX_libGPCE4.dll in any letter case. A missing folder means nothing
// to do; an entry that cannot be deleted stays. Nothing is reported.
void DeleteCloneDlls(const wchar_t* dllFolder);
