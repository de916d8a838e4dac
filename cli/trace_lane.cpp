#include "trace_lane.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Energies are clamped to 1 ... 65536 (0 to 48.2 dB); thresholds stay at or below 16384.
constexpr double kTopDb = 50;
constexpr double kVoicedBand = 6;

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// 10·log10 of a frame energy or threshold, held to the lane's 0 ... 50 dB.
double LaneDb(double energy) {
  if (!(energy > 1)) return 0;
  return std::min(kTopDb, 10 * std::log10(energy));
}

struct LaneScale {
  const TraceLaneArea& area;

  double X(double sample) const { return area.left + area.width * sample / area.samples; }
  double Y(double energy) const { return area.top + area.height * (1 - LaneDb(energy) / kTopDb); }
};

std::string Line(const char* cls, double x1, double y1, double x2, double y2) {
  return std::string("<line class=\"") + cls + "\" x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) +
         "\" x2=\"" + Num(x2) + "\" y2=\"" + Num(y2) + "\"/>\n";
}

// A frame's value on one curve; negative where the curve has none.
using FrameValue = double (*)(const DetectorTrace& frame);

double Energy(const DetectorTrace& frame) { return frame.energy; }

// The threshold means nothing until the window has filled.
double Threshold(const DetectorTrace& frame) {
  return frame.state == kDetectorFilling ? -1 : frame.threshold;
}

// One polyline through the frames that have a value, with at most one point per horizontal
// unit (the largest value there), so that long recordings stay small.
void DrawCurve(std::string& svg, const char* cls, const std::vector<DetectorTrace>& trace,
               const LaneScale& scale, FrameValue value) {
  std::string points;
  double column = -1;
  double columnMax = 0;
  double columnX = 0;
  auto flush = [&] {
    if (column < 0) return;
    char point[48];
    std::snprintf(point, sizeof point, " %.1f,%.1f", columnX, scale.Y(columnMax));
    points += point;
  };
  for (const DetectorTrace& t : trace) {
    const double v = value(t);
    if (v < 0) continue;
    const double x = scale.X(t.sample);
    if (std::floor(x) != column) {
      flush();
      column = std::floor(x);
      columnMax = v;
      columnX = x;
    } else {
      columnMax = std::max(columnMax, v);
    }
  }
  flush();
  if (points.empty()) return;
  svg += std::string("<polyline class=\"") + cls + "\" points=\"" + points + "\"/>\n";
}

// Runs of voiced frames as bars along the lane's bottom edge; a run ends where the frame
// after it starts.
void DrawVoiced(std::string& svg, const std::vector<DetectorTrace>& trace, const LaneScale& scale) {
  if (trace.empty()) return;
  const double y = scale.area.top + scale.area.height - kVoicedBand;
  const double frameSamples = trace.size() > 1 ? trace[1].sample - trace[0].sample : 0;
  for (size_t first = 0; first < trace.size(); ++first) {
    if (!trace[first].voiced) continue;
    size_t next = first + 1;
    while (next < trace.size() && trace[next].voiced) ++next;
    const double end =
        next < trace.size() ? trace[next].sample : trace.back().sample + frameSamples;
    const double x0 = scale.X(trace[first].sample);
    svg += "<rect class=\"voiced\" x=\"" + Num(x0) + "\" y=\"" + Num(y) + "\" width=\"" +
           Num(std::max(1.0, scale.X(end) - x0)) + "\" height=\"" + Num(kVoicedBand) + "\"/>\n";
    first = next;
  }
}

// A begin or an end: a line across the lane on the frame that declared it, and a line back
// to where the utterance's begin or end was placed.
void DrawDecisions(std::string& svg, const std::vector<DetectorTrace>& trace,
                   const LaneScale& scale) {
  const double top = scale.area.top;
  const double bottom = top + scale.area.height;
  for (const DetectorTrace& t : trace) {
    const bool begin = t.result == kEndpointBegin;
    if (!begin && t.result != kEndpointEnd) continue;
    const double x = scale.X(t.sample);
    const double placed = scale.X(begin ? t.beginSample : t.endSample);
    const double y = top + (begin ? 10 : 22);
    svg += Line(begin ? "decision begin" : "decision end", x, top, x, bottom);
    svg += Line(begin ? "placed begin" : "placed end", x, y, placed, y);
    svg +=
        "<circle class=\"placed\" cx=\"" + Num(placed) + "\" cy=\"" + Num(y) + "\" r=\"2.5\"/>\n";
    svg += "<text class=\"declared\" x=\"" + Num(x + 3) + "\" y=\"" + Num(y + 4) + "\">" +
           (begin ? "begin" : "end") + "</text>\n";
  }
}

void DrawKey(std::string& svg, const TraceLaneArea& area) {
  const double y = area.top - 8;
  svg += "<text x=\"" + Num(area.left) + "\" y=\"" + Num(y) +
         "\">detector: frame energy against the threshold (dB)</text>\n";
  double x = area.left + area.width - 430;
  svg += Line("energy", x, y - 4, x + 16, y - 4);
  svg += "<text x=\"" + Num(x + 20) + "\" y=\"" + Num(y) + "\">energy</text>\n";
  x += 72;
  svg += Line("threshold", x, y - 4, x + 16, y - 4);
  svg += "<text x=\"" + Num(x + 20) + "\" y=\"" + Num(y) + "\">threshold</text>\n";
  x += 86;
  svg += "<rect class=\"voiced\" x=\"" + Num(x) + "\" y=\"" + Num(y - 7) +
         "\" width=\"14\" height=\"6\"/>\n";
  svg += "<text x=\"" + Num(x + 20) + "\" y=\"" + Num(y) + "\">voiced</text>\n";
  x += 68;
  svg += Line("decision begin", x + 7, y - 10, x + 7, y + 2);
  svg += "<text x=\"" + Num(x + 14) + "\" y=\"" + Num(y) +
         "\">declared, and where it was placed</text>\n";
}

}  // namespace

void DrawTraceLane(std::string& svg, const std::vector<DetectorTrace>& trace,
                   const TraceLaneArea& area) {
  const LaneScale scale{area};
  svg +=
      "<style>\n"
      ".energy { stroke: #1f5f99; stroke-width: 1.2; fill: none; }\n"
      ".threshold { stroke: #d03030; stroke-width: 1.5; fill: none; }\n"
      ".voiced { fill: #8a4fb0; }\n"
      ".decision { stroke: #c07010; stroke-width: 1.5; fill: #c07010; }\n"
      ".decision.end { stroke-dasharray: 4 3; }\n"
      ".placed { stroke: #c07010; stroke-width: 1; fill: #c07010; }\n"
      ".declared { fill: #a05a00; }\n"
      "</style>\n";
  DrawKey(svg, area);
  for (int db = 0; db < int(kTopDb); db += 10) {
    const double y = area.top + area.height * (1 - db / kTopDb);
    if (db > 0) svg += Line("grid", area.left, y, area.left + area.width, y);
    svg += "<text x=\"" + Num(area.left - 4) + "\" y=\"" + Num(y + 4) + "\" text-anchor=\"end\">" +
           std::to_string(db) + "</text>\n";
  }
  DrawVoiced(svg, trace, scale);
  DrawCurve(svg, "energy", trace, scale, Energy);
  DrawCurve(svg, "threshold", trace, scale, Threshold);
  DrawDecisions(svg, trace, scale);
  svg += "<rect class=\"axis\" x=\"" + Num(area.left) + "\" y=\"" + Num(area.top) + "\" width=\"" +
         Num(area.width) + "\" height=\"" + Num(area.height) + "\"/>\n";
}
