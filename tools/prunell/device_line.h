#pragma once

// True if line is a valid Linkport device line: at least four tab-separated fields (runs of
// tabs are one separator, leading tabs are skipped), an allowed sampling rate in field 3, an
// allowed baud rate in field 4 and a count of 1 to 8 in field 5 (1 when absent). Numbers are
// read the way _wtoi reads them. Fields from the sixth on are not examined. line is unchanged.
bool IsDeviceLine(const wchar_t* line);
