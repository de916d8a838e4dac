#include "svg_plot.h"

#include <gtest/gtest.h>

TEST(SvgPlot, TimeStepsAreOneTwoFiveTimesAPowerOfTen) {
  EXPECT_DOUBLE_EQ(TimeTickStep(7.384, 12), 1.0);
  EXPECT_DOUBLE_EQ(TimeTickStep(12.0, 12), 1.0);
  EXPECT_DOUBLE_EQ(TimeTickStep(12.1, 12), 2.0);
  EXPECT_DOUBLE_EQ(TimeTickStep(0.5, 12), 0.05);
  EXPECT_DOUBLE_EQ(TimeTickStep(600.0, 12), 50.0);
  EXPECT_DOUBLE_EQ(TimeTickStep(0.0, 12), 0.001);
}

TEST(SvgPlot, TitleIsEscapedAndOpenUtterancesAreMarked) {
  const std::vector<int16_t> samples(8000, 100);
  PlotData plot;
  plot.title = "a<b>&\"c\".wav";
  plot.samples = &samples;
  plot.sampleRate = 8000;
  plot.utterances = {{800, 4000}, {5000, -1}};
  plot.snrDb = 12.345f;
  const std::string svg = RenderSvgPlot(plot);
  EXPECT_NE(svg.find("<title>a&lt;b&gt;&amp;&quot;c&quot;.wav  \xE2\x80\x94  SNR 12.35 dB</title>"),
            std::string::npos);
  EXPECT_NE(svg.find("<rect class=\"utterance\" x=\"156.0\""), std::string::npos);  // 0.1 s in
  EXPECT_NE(svg.find("<rect class=\"utterance open\""), std::string::npos);
  EXPECT_NE(svg.find("2 (open)"), std::string::npos);
}

TEST(SvgPlot, NamesThatAreNotUtf8OrNotXmlCharactersAreReplaced) {
  const std::vector<int16_t> samples(100, 0);
  PlotData plot;
  // A Latin-1 byte, a lone continuation byte, a cut sequence, an encoded surrogate, control
  // characters and U+FFFF around well-formed two-, three- and four-byte characters.
  plot.title =
      "caf\xE9 \x80|\xE2\x82|\xED\xA0\x80|\x01\t\n|\xEF\xBF\xBF|"
      "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xA4";
  plot.samples = &samples;
  plot.sampleRate = 8000;
  const std::string r = "\xEF\xBF\xBD";
  EXPECT_NE(
      RenderSvgPlot(plot).find("<title>caf" + r + " " + r + "|" + r + r + "|" + r + r + r + "|" +
                               r + "&#9;&#10;|" + r + "|\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xA4  "),
      std::string::npos);
}

TEST(SvgPlot, EmptyAndShortRecordingsStillDraw) {
  const std::vector<int16_t> none;
  PlotData plot;
  plot.title = "empty.wav";
  plot.samples = &none;
  plot.sampleRate = 16000;
  const std::string svg = RenderSvgPlot(plot);
  EXPECT_NE(svg.find("too short for an SNR estimate"), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);

  const std::vector<int16_t> three = {1, -1, 5};
  plot.samples = &three;
  EXPECT_NE(RenderSvgPlot(plot).find("<path class=\"wave\""), std::string::npos);
}
