#pragma once

// Prunell's job for one application below base: deletes the clone DLLs in its dll folder, then
// prunes the Linkport.ini there. appName must have passed IsSafeAppName. A step whose path
// would not fit a path buffer is skipped.
void CleanApplication(const wchar_t* base, const wchar_t* appName);
