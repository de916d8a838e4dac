#include "svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "trace_lane.h"

namespace {

constexpr double kWidth = 1000;
constexpr double kHeight = 360;
constexpr double kLeft = 64;
constexpr double kRight = 16;
constexpr double kTop = 64;
constexpr double kBottom = 70;
constexpr double kPlotWidth = kWidth - kLeft - kRight;
constexpr double kPlotHeight = kHeight - kTop - kBottom;

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at text[at], or 0 when the byte there starts none.
size_t Utf8Length(const std::string& text, size_t at) {
  auto byte = [&](size_t i) -> unsigned {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  auto continues = [&](size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
    return byte(i) >= low && byte(i) <= high;
  };
  const unsigned lead = byte(at);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continues(at + 1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    // No overlong forms below U+0800 and no surrogates.
    const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : 0xBF;
    return continues(at + 1, low, high) && continues(at + 2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    // No overlong forms below U+10000 and nothing above U+10FFFF.
    const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
    return continues(at + 1, low, high) && continues(at + 2) && continues(at + 3) ? 4 : 0;
  }
  return 0;
}

// Text for XML character data and attribute values. File names are bytes, but the document
// is UTF-8 and XML admits only some characters: each byte that is not part of well-formed
// UTF-8, and each character XML does not allow, becomes U+FFFD, the same as in JSON output.
std::string Escape(const std::string& text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8Length(text, at);
    const std::string_view character(text.data() + at, length);
    const char c = text[at];
    at += length == 0 ? 1 : length;
    if (length == 0 || character == "\xEF\xBF\xBE" || character == "\xEF\xBF\xBF") {
      out += kReplacement;
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else if (c == '\t' || c == '\n' || c == '\r') {
      out += "&#" + std::to_string(int(c)) + ";";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += kReplacement;
    } else {
      out += character;
    }
  }
  return out;
}

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string TickLabel(double seconds, double step) {
  const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : step >= 0.01 ? 2 : 3;
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, seconds);
  return text;
}

void AppendPoint(std::string& svg, double x, double y) {
  char point[64];
  std::snprintf(point, sizeof point, " %.1f,%.1f", x, y);
  svg += point;
}

struct Scale {
  double samples;  // samples across the plot width
  double peak;     // amplitude at the top edge

  double X(double sample) const { return kLeft + kPlotWidth * sample / samples; }
  double Y(double amplitude) const { return kTop + kPlotHeight * (0.5 - 0.5 * amplitude / peak); }
};

// Min/max envelope, one column per horizontal unit (or per sample when there are fewer).
void DrawWaveform(std::string& svg, const std::vector<int16_t>& samples, const Scale& scale) {
  const size_t count = samples.size();
  if (count == 0) return;
  const size_t columns = std::min<size_t>(count, size_t(kPlotWidth));
  std::vector<std::pair<double, double>> envelope(columns);
  for (size_t c = 0; c < columns; ++c) {
    const size_t first = c * count / columns;
    const size_t last = std::max(first + 1, (c + 1) * count / columns);
    const auto [lo, hi] = std::minmax_element(samples.begin() + std::ptrdiff_t(first),
                                              samples.begin() + std::ptrdiff_t(last));
    envelope[c] = {*lo, *hi};
  }
  // Upper edge left to right, lower edge back: one filled outline. Half a unit is added on
  // each side so that silence still shows as a hairline.
  svg += "<path class=\"wave\" d=\"M";
  for (size_t c = 0; c < columns; ++c) {
    const double x = scale.X((double(c) + 0.5) * double(count) / double(columns));
    AppendPoint(svg, x, scale.Y(envelope[c].second) - 0.5);
  }
  for (size_t c = columns; c-- > 0;) {
    const double x = scale.X((double(c) + 0.5) * double(count) / double(columns));
    AppendPoint(svg, x, scale.Y(envelope[c].first) + 0.5);
  }
  svg += " Z\"/>\n";
}

}  // namespace

double TimeTickStep(double seconds, int maxTicks) {
  for (double decade = 0.001;; decade *= 10) {
    for (double mantissa : {1.0, 2.0, 5.0}) {
      const double step = mantissa * decade;
      if (seconds / step <= maxTicks) return step;
    }
  }
}

std::string RenderSvgPlot(const PlotData& plot) {
  const std::vector<int16_t>& samples = *plot.samples;
  const double count = double(std::max<size_t>(samples.size(), 1));
  int peak = 1;
  for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
  const Scale scale{count, double(peak)};
  const double seconds = double(samples.size()) / plot.sampleRate;
  // The trace lane sits between the waveform and the time axis, which moves down with it.
  const double lane = plot.trace ? kTraceLaneKey + kTraceLaneHeight : 0;
  const double height = kHeight + lane;

  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
      Num(kWidth) + "\" height=\"" + Num(height) + "\" viewBox=\"0 0 " + Num(kWidth) + " " +
      Num(height) +
      "\">\n"
      "<style>\n"
      "text { font-family: sans-serif; font-size: 12px; fill: #333; }\n"
      ".title { font-size: 16px; font-weight: bold; fill: #111; }\n"
      ".wave { fill: #1f5f99; stroke: none; }\n"
      ".utterance { fill: #f0a030; fill-opacity: 0.30; stroke: #c07010; stroke-width: 1; }\n"
      ".open { fill: url(#hatch); fill-opacity: 1; stroke: #c07010; stroke-dasharray: 4 3; }\n"
      ".span { fill: #2a9d4a; }\n"
      ".grid { stroke: #ddd; stroke-width: 1; }\n"
      ".axis { stroke: #555; stroke-width: 1; fill: none; }\n"
      "</style>\n"
      "<defs><pattern id=\"hatch\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" "
      "patternTransform=\"rotate(45)\"><rect width=\"8\" height=\"8\" fill=\"#f0a030\" "
      "fill-opacity=\"0.15\"/><line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"8\" stroke=\"#f0a030\" "
      "stroke-width=\"3\" stroke-opacity=\"0.5\"/></pattern></defs>\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";

  std::string heading = plot.title;
  if (plot.snrDb) {
    char db[48];
    std::snprintf(db, sizeof db, "  \xE2\x80\x94  SNR %.2f dB", double(*plot.snrDb));
    heading += db;
  } else {
    heading += "  \xE2\x80\x94  too short for an SNR estimate";
  }
  svg += "<title>" + Escape(heading) + "</title>\n";
  svg += "<text class=\"title\" x=\"" + Num(kLeft) + "\" y=\"24\">" + Escape(heading) + "</text>\n";
  if (!plot.details.empty()) {
    svg += "<text x=\"" + Num(kLeft) + "\" y=\"44\">" + Escape(plot.details) + "</text>\n";
  }

  // Time grid and axis labels.
  const double step = TimeTickStep(seconds, 12);
  for (int i = 0; i * step <= seconds + 1e-9; ++i) {
    const double x = scale.X(i * step * plot.sampleRate);
    svg += "<line class=\"grid\" x1=\"" + Num(x) + "\" y1=\"" + Num(kTop) + "\" x2=\"" + Num(x) +
           "\" y2=\"" + Num(kTop + kPlotHeight + lane) + "\"/>\n";
    svg += "<text x=\"" + Num(x) + "\" y=\"" + Num(kTop + kPlotHeight + lane + 16) +
           "\" text-anchor=\"middle\">" + TickLabel(i * step, step) + "</text>\n";
  }
  svg += "<text x=\"" + Num(kLeft + kPlotWidth) + "\" y=\"" + Num(kTop + kPlotHeight + lane + 32) +
         "\" text-anchor=\"end\">time (s)</text>\n";

  // Utterances behind the waveform, numbered above it.
  for (size_t i = 0; i < plot.utterances.size(); ++i) {
    const Utterance& u = plot.utterances[i];
    const bool open = u.endSample < 0;
    const double x0 = scale.X(u.beginSample);
    const double x1 = open ? scale.X(count) : scale.X(u.endSample);
    svg += "<rect class=\"utterance" + std::string(open ? " open" : "") + "\" x=\"" + Num(x0) +
           "\" y=\"" + Num(kTop) + "\" width=\"" + Num(std::max(1.0, x1 - x0)) + "\" height=\"" +
           Num(kPlotHeight) + "\"/>\n";
    svg += "<text x=\"" + Num(x0 + 3) + "\" y=\"" + Num(kTop + 14) + "\">" + std::to_string(i + 1) +
           (open ? " (open)" : "") + "</text>\n";
  }

  DrawWaveform(svg, samples, scale);
  svg += "<rect class=\"axis\" x=\"" + Num(kLeft) + "\" y=\"" + Num(kTop) + "\" width=\"" +
         Num(kPlotWidth) + "\" height=\"" + Num(kPlotHeight) + "\"/>\n";
  char peakText[64];
  std::snprintf(peakText, sizeof peakText, "\xC2\xB1%d", peak);
  svg += "<text x=\"" + Num(kLeft - 4) + "\" y=\"" + Num(kTop + 10) + "\" text-anchor=\"end\">" +
         peakText + "</text>\n";
  svg += "<text x=\"" + Num(kLeft - 4) + "\" y=\"" + Num(kTop + kPlotHeight / 2 + 4) +
         "\" text-anchor=\"end\">0</text>\n";
  if (plot.trace) {
    DrawTraceLane(svg, *plot.trace,
                  {kLeft, kTop + kPlotHeight + kTraceLaneKey, kPlotWidth, kTraceLaneHeight, count});
  }

  // The estimate's speech span as a bar under the plot.
  const double barY = kTop + kPlotHeight + lane + 42;
  if (plot.speechSpan) {
    const double x0 = scale.X(plot.speechSpan->first);
    const double x1 = scale.X(plot.speechSpan->second);
    svg += "<rect class=\"span\" x=\"" + Num(x0) + "\" y=\"" + Num(barY) + "\" width=\"" +
           Num(std::max(1.0, x1 - x0)) + "\" height=\"6\"/>\n";
  }

  // Legend.
  const double legendY = height - 8;
  svg += "<rect class=\"utterance key\" x=\"" + Num(kLeft) + "\" y=\"" + Num(legendY - 10) +
         "\" width=\"14\" height=\"10\"/>\n";
  svg += "<text x=\"" + Num(kLeft + 20) + "\" y=\"" + Num(legendY) +
         "\">utterance found by the end-point detector</text>\n";
  svg += "<rect class=\"span key\" x=\"" + Num(kLeft + 300) + "\" y=\"" + Num(legendY - 7) +
         "\" width=\"14\" height=\"5\"/>\n";
  svg += "<text x=\"" + Num(kLeft + 320) + "\" y=\"" + Num(legendY) +
         "\">speech span of the SNR estimate</text>\n";
  svg += "<text x=\"" + Num(kLeft + kPlotWidth) + "\" y=\"" + Num(legendY) +
         "\" text-anchor=\"end\">amplitude scaled to the peak</text>\n";
  svg += "</svg>\n";
  return svg;
}
