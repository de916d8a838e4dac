#pragma once

// Rewrites the Linkport.ini at path in place, pruned and normalised (see PruneLinkportText).
// A missing file, a folder, a read-only file, a file of 3 bytes or fewer, one without the
// byte-order mark FF FE, or one whose text holds a NUL code unit is left untouched; so is the
// file if the new content cannot be written completely. Nothing is reported.
void PruneLinkportIni(const wchar_t* path);
