// Random call sequences on the eight exports, each result checked against what tessel.h
// promises; any breach aborts, and libFuzzer keeps the input that led to it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include <tessel.h>

#include "fuzz_check.h"

namespace {

constexpr int32_t kRates[] = {8000, 11025, 16000, 22050, 44100, 48000};
constexpr int kSlots = 3;
constexpr char kBannerStart[] = "Tessel_Lib v1.0.0 (compiled at Sep 15 2017)\n";

// The rule tessel.h states for Tessel_Init, restated independently of the library.
bool HeaderAcceptsContext(int32_t rate, int32_t frameSize) {
  bool rateKnown = false;
  for (int32_t known : kRates) rateKnown = rateKnown || known == rate;
  if (!rateKnown || frameSize % 2 != 0 || frameSize < rate / 100 || frameSize > rate / 50) {
    return false;
  }
  int64_t frame8k = int64_t(frameSize) * 8000 / rate;
  if (frame8k % 2 != 0) ++frame8k;
  return frame8k % 4 == 0;
}

struct Slot {
  void* context = nullptr;
  int32_t rate = 0;
  int32_t frameSize = 0;
  int64_t pushed = 0;  // input samples since Tessel_Init or the last Tessel_Reset
  bool ended = false;  // Tessel_AddSample has returned 1 since then
  bool begun = false;  // a begin has been read since then
};

struct Reading {
  int32_t begin;
  int32_t end;
};

Reading Read(const Slot& slot) {
  Reading r{-7, -7};
  CHECK(Tessel_GetUttrEPD(slot.context, &r.begin, &r.end) == 0);
  return r;
}

// Positions are float seconds turned into input samples: the header allows half a float step.
int64_t Slack(int64_t pushed) { return 2 + pushed / (int64_t(1) << 22); }

void CheckReading(Slot& slot) {
  const Reading r = Read(slot);
  CHECK(r.begin >= -1 && r.end >= -1);
  CHECK(slot.ended ? r.end >= 0 : r.end == -1);
  CHECK(r.end == -1 || r.begin >= 0);
  CHECK(!slot.begun || r.begin >= 0);
  CHECK(r.begin <= slot.pushed + Slack(slot.pushed));
  CHECK(r.end <= slot.pushed + Slack(slot.pushed));
  slot.begun = r.begin >= 0;
}

// Input for a push: raw bytes, or a pulse train (a crude voice) or silence that lasts long
// enough for utterances to begin and end.
struct Signal {
  bool raw;
  int amplitude;
  int period;
  int64_t phase = 0;
};

void Fill(FuzzedDataProvider& data, Signal& signal, std::vector<int16_t>& frame) {
  for (int16_t& s : frame) {
    if (signal.raw) {
      s = data.ConsumeIntegral<int16_t>();
    } else {
      const bool pulse = signal.phase++ % signal.period < 3;
      s = int16_t(pulse ? signal.amplitude : -signal.amplitude / signal.period);
    }
  }
}

void Init(FuzzedDataProvider& data, Slot& slot) {
  if (slot.context != nullptr) CHECK(Tessel_Release(slot.context) == 0);
  slot = Slot{};
  const bool usual = data.ConsumeBool();
  const int32_t rate = usual ? data.PickValueInArray(kRates) : data.ConsumeIntegral<int32_t>();
  const int32_t frameSize =
      usual ? data.ConsumeIntegralInRange<int32_t>(rate / 100 - 2, rate / 50 + 2)
            : data.ConsumeIntegral<int32_t>();
  slot.context = Tessel_Init(rate, frameSize);
  CHECK((slot.context != nullptr) == HeaderAcceptsContext(rate, frameSize));
  slot.rate = rate;
  slot.frameSize = frameSize;
  if (slot.context != nullptr) CheckReading(slot);
}

void Push(FuzzedDataProvider& data, Slot& slot) {
  Signal signal{data.ConsumeBool(), data.ConsumeIntegralInRange(0, 32767),
                data.ConsumeIntegralInRange(4, 400)};
  const int frames =
      signal.raw ? data.ConsumeIntegralInRange(1, 4) : data.ConsumeIntegralInRange(1, 300);
  std::vector<int16_t> frame(size_t(slot.frameSize));
  for (int i = 0; i < frames; ++i) {
    Fill(data, signal, frame);
    const int32_t result = Tessel_AddSample(slot.context, frame.data());
    CHECK(result == 0 || result == 1);
    CHECK(!slot.ended || result == 1);
    slot.ended = result == 1;
    slot.pushed += slot.frameSize;
  }
  CheckReading(slot);
}

void RefusedCalls(Slot& slot) {
  const Reading before = Read(slot);
  CHECK(Tessel_AddSample(slot.context, nullptr) == -1);
  CHECK(Tessel_AddSample(nullptr, nullptr) == -1);
  int32_t begin = -7;
  int32_t end = -7;
  CHECK(Tessel_GetUttrEPD(nullptr, &begin, &end) == -1);
  CHECK(begin == -7 && end == -7);
  CHECK(Tessel_GetUttrEPD(slot.context, nullptr, nullptr) == 0);
  CHECK(Tessel_SetVADThreshold(nullptr, 1) == -1);
  CHECK(Tessel_Reset(nullptr) == -1);
  CHECK(Tessel_Release(nullptr) == -1);
  const Reading after = Read(slot);
  CHECK(before.begin == after.begin && before.end == after.end);
}

void Snr(FuzzedDataProvider& data) {
  std::vector<int16_t> samples;
  if (data.ConsumeBool()) {
    const std::vector<uint8_t> bytes =
        data.ConsumeBytes<uint8_t>(data.ConsumeIntegralInRange(0, 16384));
    samples.resize(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  } else {
    // Steady levels: a constant, or a square wave of some period.
    samples.resize(data.ConsumeIntegralInRange<size_t>(0, 20000));
    const int16_t level = data.ConsumeIntegral<int16_t>();
    const int period = data.ConsumeIntegralInRange(0, 64);
    for (size_t i = 0; i < samples.size(); ++i) {
      samples[i] = period == 0 || (i / size_t(period)) % 2 == 0 ? level : int16_t(-level - 1);
    }
  }
  const int32_t count =
      data.ConsumeBool() ? int32_t(samples.size())
                         : data.ConsumeIntegralInRange<int32_t>(INT32_MIN, int32_t(samples.size()));
  const int16_t* pointer = samples.empty() ? nullptr : samples.data();
  int handle = 0;

  int32_t begin = -7;
  int32_t end = -7;
  float snr = -7.0f;
  CHECK(Tessel_GetSNR(nullptr, pointer, count, &begin, &end, &snr) == -1);
  CHECK(begin == -7 && end == -7 && snr == -7.0f);
  if (count > 0) {
    CHECK(Tessel_GetSNR(&handle, nullptr, count, &begin, &end, &snr) == -1);
    CHECK(begin == -7 && end == -7 && snr == -7.0f);
  }
  CHECK(Tessel_GetSNR(&handle, pointer, count, &begin, &end, &snr) == 0);
  if (count <= 256) {
    CHECK(begin == 0 && end == 0 && snr == 0.0f);
  } else {
    const int32_t frames = (count - 257) / 128 + 1;
    CHECK(begin % 128 == 0 && end % 128 == 0);
    CHECK(0 <= begin && begin <= end && end <= 128 * (frames - 1));
    CHECK(std::isfinite(snr) && std::fabs(snr) < 91.0f);
    // An empty span is nothing measurable, and says so in full.
    CHECK(begin < end || (begin == 0 && end == 0 && snr == 0.0f));
  }
  // The estimate depends on the samples alone: the same call gives the same bits.
  int32_t again[2];
  float snrAgain;
  CHECK(Tessel_GetSNR(&handle, pointer, count, &again[0], &again[1], &snrAgain) == 0);
  CHECK(again[0] == begin && again[1] == end && std::memcmp(&snr, &snrAgain, sizeof snr) == 0);
  CHECK(Tessel_GetSNR(&handle, pointer, count, nullptr, nullptr, nullptr) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietenLibraryWarnings();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  Slot slots[kSlots];
  const char* banner = Tessel_VerInfo();
  CHECK(std::strncmp(banner, kBannerStart, sizeof kBannerStart - 1) == 0);

  for (int step = 0; step < 64 && data.remaining_bytes() > 0; ++step) {
    Slot& slot = slots[data.ConsumeIntegralInRange(0, kSlots - 1)];
    switch (data.ConsumeIntegralInRange(0, 7)) {
      case 0:
        Init(data, slot);
        break;
      case 1:
        if (slot.context != nullptr) {
          CHECK(Tessel_Release(slot.context) == 0);
          slot = Slot{};
        }
        break;
      case 2:
        if (slot.context != nullptr) {
          CHECK(Tessel_Reset(slot.context) == 0);
          slot.pushed = 0;
          slot.ended = false;
          slot.begun = false;
          const Reading r = Read(slot);
          CHECK(r.begin == -1 && r.end == -1);
        }
        break;
      case 3:
      case 4:
        if (slot.context != nullptr) Push(data, slot);
        break;
      case 5:
        if (slot.context != nullptr) {
          CHECK(Tessel_SetVADThreshold(slot.context, data.ConsumeIntegral<int32_t>()) == 0);
          RefusedCalls(slot);
        }
        break;
      case 6:
        Snr(data);
        break;
      case 7:
        CHECK(Tessel_VerInfo() == banner);
        break;
    }
  }
  for (Slot& slot : slots) {
    if (slot.context != nullptr) CHECK(Tessel_Release(slot.context) == 0);
  }
  return 0;
}
