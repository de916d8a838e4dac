// The detector's trace: it agrees with what the exported interface reports, it is stable for
// the bundled recording, and a traced plot is well-formed SVG with the trace lane in it.
#include <expat.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include <nlohmann/json.hpp>

#include <tessel.h>
#include "audio_file.h"
#include "context/detector_observer.h"
#include "run_tessel.h"
#include "trace_library.h"

namespace {

void Keep(void* user, const DetectorTrace* trace) {
  static_cast<std::vector<DetectorTrace>*>(user)->push_back(*trace);
}

std::vector<int16_t> BundledSpeech() {
  Recording recording;
  EXPECT_EQ(ReadRecording(TESSEL_SPEECH_WAV, 0, recording), "");
  return recording.samples;
}

// Pushes samples (taken as sampleRate) through a context of the trace library, watched, and one
// of libtessel.so side by side, checking after every push that the two report the same and that
// the trace tells the same story. Returns the trace.
std::vector<DetectorTrace> CheckAgainstTheApi(const std::vector<int16_t>& samples,
                                              int32_t sampleRate, int32_t frameSize) {
  std::vector<DetectorTrace> trace;
  StreamingFunctions traced{};
  EXPECT_EQ(TraceStreamingFunctions(traced), "");
  if (!traced.init) return trace;
  void* watched = traced.init(sampleRate, frameSize);
  void* plain = Tessel_Init(sampleRate, frameSize);
  EXPECT_EQ(traced.setObserver(watched, Keep, &trace), 0);
  int32_t lastBegin = -1;
  int32_t lastEnd = -1;
  for (size_t at = 0; at + size_t(frameSize) <= samples.size(); at += size_t(frameSize)) {
    const size_t before = trace.size();
    EXPECT_EQ(traced.addSample(watched, &samples[at]), Tessel_AddSample(plain, &samples[at]));
    int32_t begin = -2, end = -2, plainBegin = -3, plainEnd = -3;
    traced.getUttrEPD(watched, &begin, &end);
    Tessel_GetUttrEPD(plain, &plainBegin, &plainEnd);
    EXPECT_EQ(begin, plainBegin) << "push at " << at;
    EXPECT_EQ(end, plainEnd) << "push at " << at;

    int begins = 0, ends = 0;
    for (size_t i = before; i < trace.size(); ++i) {
      if (trace[i].result == kEndpointBegin) {
        ++begins;
        EXPECT_EQ(trace[i].beginSample, begin);
      }
      if (trace[i].result == kEndpointEnd) {
        ++ends;
        EXPECT_EQ(trace[i].endSample, end);
      }
    }
    EXPECT_EQ(begins, begin != lastBegin ? 1 : 0) << "push at " << at;
    EXPECT_EQ(ends, end != lastEnd ? 1 : 0) << "push at " << at;
    if (trace.size() > before) {
      EXPECT_EQ(trace.back().beginSample, begin);
      EXPECT_EQ(trace.back().endSample, end);
    }
    lastBegin = begin;
    lastEnd = end;
  }
  traced.release(watched);
  Tessel_Release(plain);

  for (size_t i = 0; i < trace.size(); ++i) {
    EXPECT_EQ(trace[i].frame, int32_t(i + 1));
    // A candidate is where the decision lands if it comes on the next frame.
    if (i == 0) continue;
    if (trace[i].result == kEndpointBegin) {
      EXPECT_EQ(trace[i - 1].beginCandidate, trace[i].beginSample) << "frame " << i + 1;
    }
    if (trace[i].result == kEndpointEnd) {
      EXPECT_EQ(trace[i - 1].endCandidate, trace[i].endSample) << "frame " << i + 1;
    }
  }
  return trace;
}

int CountResults(const std::vector<DetectorTrace>& trace, int32_t result) {
  int count = 0;
  for (const DetectorTrace& t : trace) count += t.result == result ? 1 : 0;
  return count;
}

// Elements of a well-formed document, counted by name and class.
struct SvgCount {
  std::string root;
  std::string height;
  std::map<std::string, int> elements;  // "line.decision begin"
};

SvgCount ParseSvg(const std::string& svg) {
  SvgCount count;
  XML_Parser parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(parser, &count);
  XML_SetStartElementHandler(parser, [](void* user, const XML_Char* name, const XML_Char** attrs) {
    auto& c = *static_cast<SvgCount*>(user);
    std::string key = name;
    for (int i = 0; attrs[i] != nullptr; i += 2) {
      if (std::string(attrs[i]) == "class") key += std::string(".") + attrs[i + 1];
      if (c.root.empty() && std::string(attrs[i]) == "height") c.height = attrs[i + 1];
    }
    if (c.root.empty()) c.root = name;
    ++c.elements[key];
  });
  const bool parsed = XML_Parse(parser, svg.data(), int(svg.size()), 1) == XML_STATUS_OK;
  EXPECT_TRUE(parsed) << XML_ErrorString(XML_GetErrorCode(parser)) << " at line "
                      << XML_GetCurrentLineNumber(parser);
  XML_ParserFree(parser);
  return count;
}

class TraceProgram : public TesselProgramTest {};

}  // namespace

TEST(Trace, AgreesWithTheApiFrameByFrame) {
  const std::vector<int16_t> speech = BundledSpeech();
  const std::vector<DetectorTrace> trace = CheckAgainstTheApi(speech, 16000, 320);
  EXPECT_EQ(CountResults(trace, kEndpointBegin), 2);
  EXPECT_EQ(CountResults(trace, kEndpointEnd), 2);
  // Frames that complete in the middle of a push, and other rates: the same recording's
  // samples taken as 11025 and 22050 Hz.
  for (const auto& [rate, frameSize] : {std::pair{16000, 200}, {11025, 110}, {22050, 440}}) {
    const std::vector<DetectorTrace> other = CheckAgainstTheApi(speech, rate, frameSize);
    EXPECT_EQ(CountResults(other, kEndpointBegin), 2) << rate;
    EXPECT_EQ(CountResults(other, kEndpointEnd), 2) << rate;
  }
}

// Two files of the same name: the second file's trace and plot are numbered, both traces are
// the golden file, and both plots are well-formed SVG titled with the SNR, with the trace lane.
TEST_F(TraceProgram, TracesMatchTheGoldenFileAndTracedPlotsAreWellFormedSvg) {
  std::filesystem::create_directories(PathOf("again"));
  const std::string copy = PathOf("again/speech-16k.wav");
  std::filesystem::copy_file(TESSEL_SPEECH_WAV, copy);
  const TesselRun run = Run({"analyze", "--json", "--plot", PathOf("plots"), "--trace",
                             PathOf("traces"), TESSEL_SPEECH_WAV, copy});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto lines = run.OutLines();
  ASSERT_EQ(lines.size(), 2u);
  const std::string first = PathOf("traces/speech-16k.csv");
  EXPECT_EQ(nlohmann::json::parse(lines[0])["trace"], first);
  EXPECT_EQ(nlohmann::json::parse(lines[1])["trace"], PathOf("traces/speech-16k-2.csv"));
  if (const char* update = std::getenv("TESSEL_UPDATE_GOLDEN");
      update && std::string(update) == "1") {
    std::filesystem::copy_file(first, TESSEL_TRACE_GOLDEN,
                               std::filesystem::copy_options::overwrite_existing);
  }
  EXPECT_EQ(ReadAll(first), ReadAll(TESSEL_TRACE_GOLDEN));
  EXPECT_EQ(ReadAll(PathOf("traces/speech-16k-2.csv")), ReadAll(TESSEL_TRACE_GOLDEN));

  const nlohmann::json j = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(j["plot"], PathOf("plots/speech-16k.svg"));
  char title[64];
  std::snprintf(title, sizeof title, "<title>speech-16k.wav  \xE2\x80\x94  SNR %.2f dB</title>",
                j["snrDb"].get<double>());
  EXPECT_NE(ReadAll(PathOf("plots/speech-16k.svg")).find(title), std::string::npos);
  for (const char* plot : {"plots/speech-16k.svg", "plots/speech-16k-2.svg"}) {
    const std::string text = ReadAll(PathOf(plot));
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    const SvgCount svg = ParseSvg(text);
    EXPECT_EQ(svg.root, "svg");
    EXPECT_EQ(svg.height, "504.0");
    EXPECT_EQ(svg.elements.at("path.wave"), 1);
    EXPECT_EQ(svg.elements.at("rect.utterance"), 2);
    EXPECT_EQ(svg.elements.at("rect.span"), 1);
    EXPECT_EQ(svg.elements.at("polyline.energy"), 1);
    EXPECT_EQ(svg.elements.at("polyline.threshold"), 1);
    EXPECT_GE(svg.elements.at("rect.voiced"), 2);
    // Two of each declared in the lane, one more of each in its key.
    EXPECT_EQ(svg.elements.at("line.decision begin"), 3);
    EXPECT_EQ(svg.elements.at("line.decision end"), 2);
    EXPECT_EQ(svg.elements.at("line.placed begin"), 2);
    EXPECT_EQ(svg.elements.at("line.placed end"), 2);
  }
}
