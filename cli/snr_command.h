// `tessel snr`: speech span and SNR of whole recordings.
#pragma once

#include <string>

#include "run_in_order.h"

struct SnrOptions {
  int channel = 0;
  bool json = false;
};

FileReport RunSnr(const std::string& path, const SnrOptions& options);
