// The detector's frame-by-frame records as CSV: a header line naming the columns, then one
// line per analysed frame.
#pragma once

#include <string>
#include <vector>

#include "context/detector_observer.h"

// The whole file. Energy and pitch keep nine significant digits, enough to read back the
// very float the detector compared; -1 stands for "none" in every column that can lack a
// value, an empty event for a frame on which nothing was declared.
std::string TraceCsv(const std::vector<DetectorTrace>& trace);

// How every trace file begins: the first columns of its header line.
inline constexpr const char* kTraceCsvFirstColumns = "frame,sample,";
