#pragma once

// Drives the streaming exports over a whole recording the way a host does, through a table
// of entry points (the linked library natively, GetProcAddress results on Windows).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace stream_runner {

struct Exports {
  void* (*init)(int32_t, int32_t);
  int32_t (*release)(void*);
  int32_t (*reset)(void*);
  int32_t (*addSample)(void*, const int16_t*);
  int32_t (*getUttrEPD)(void*, int32_t*, int32_t*);
  int32_t (*setVADThreshold)(void*, int32_t);
};

// What the host saw after every Tessel_AddSample call.
struct Trace {
  bool created = false;
  std::vector<int32_t> results;
  std::vector<int32_t> begins;
  std::vector<int32_t> ends;
};

struct Detected {
  int32_t begin, end;  // input samples
};

inline constexpr int32_t kDefaultThreshold = 156;

// Pushes every whole frame of samples; a partial last frame is not pushed.
inline Trace Run(const Exports& api, int32_t rate, int32_t frameSize,
                 const std::vector<int16_t>& samples, int32_t threshold = kDefaultThreshold) {
  Trace trace;
  void* context = api.init(rate, frameSize);
  if (context == nullptr) return trace;
  trace.created = true;
  if (threshold != kDefaultThreshold) api.setVADThreshold(context, threshold);
  for (std::size_t at = 0; at + std::size_t(frameSize) <= samples.size();
       at += std::size_t(frameSize)) {
    int32_t begin = 0, end = 0;
    trace.results.push_back(api.addSample(context, samples.data() + at));
    api.getUttrEPD(context, &begin, &end);
    trace.begins.push_back(begin);
    trace.ends.push_back(end);
  }
  api.release(context);
  return trace;
}

// Every utterance the host could have read: the begin and the end as they stood whenever a
// new end appeared.
inline std::vector<Detected> Utterances(const Trace& trace) {
  std::vector<Detected> found;
  int32_t lastEnd = -1;
  for (std::size_t i = 0; i < trace.ends.size(); ++i) {
    if (trace.ends[i] != lastEnd && trace.ends[i] >= 0)
      found.push_back({trace.begins[i], trace.ends[i]});
    lastEnd = trace.ends[i];
  }
  return found;
}

}  // namespace stream_runner
