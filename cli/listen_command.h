// `tessel listen`: utterances found live in audio captured from a sound server.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct ListenOptions {
  int32_t sampleRate = 16000;
  int frameMs = 20;
  std::string device;  // a source or a sink's ".monitor"; empty for the server's default
  std::optional<int32_t> vadThreshold;
  bool json = false;
  std::string saveFolder;         // empty: utterances are not saved
  std::optional<int> utterances;  // stop once this many have ended
  std::optional<double> seconds;  // stop after this much audio
};

// Listens until a limit is reached, SIGINT or SIGTERM arrives, or capture fails. Returns the
// exit status: 0, or 1 after a capture failure, lost audio, an unsaved utterance or output
// that could not be written (each reported on stderr in one line).
int RunListen(const ListenOptions& options);
