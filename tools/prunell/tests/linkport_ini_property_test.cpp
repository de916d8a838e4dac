// Linkport.ini pruning on random UTF-16 texts whose every line is known, by construction, to
// be kept or dropped: no valid line is lost, no invalid one is written, and pruning the result
// again changes nothing. Any code unit but NUL, tab, CR and LF may appear in names, lone
// surrogates included. Seeded, so a failure names the seed that reproduces it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "prunell/linkport_ini.h"
#include "support/seeded_random.h"

namespace {

const wchar_t* const kRates[] = {L"8000",  L"11025", L"16000", L"22050",
                                 L"32000", L"44100", L"48000"};
const wchar_t* const kBauds[] = {L"115200",  L"460800",  L"921600",
                                 L"1000000", L"1200000", L"1600000"};
// Not a rate, not a baud rate and not a count, as _wtoi reads them.
const wchar_t* const kBadNumbers[] = {L"0",   L"12000", L"96000",  L"7999",
                                      L"abc", L"-8000", L"115201", L"9"};

struct Line {
  std::wstring text;        // as written in the file
  std::wstring normalised;  // fields joined by single tabs
  bool kept = false;        // a valid device line that is not a clone line
};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Below(int n) { return int(random_.TopBits(24) % uint32_t(n)); }
  bool Chance(int percent) { return Below(100) < percent; }

  template <size_t N>
  std::wstring Pick(const wchar_t* const (&table)[N]) {
    return table[Below(int(N))];
  }

  // A non-empty field without tabs or line breaks that neither starts nor ends with a blank.
  std::wstring Field() {
    std::wstring field;
    const int length = 1 + Below(8);
    for (int i = 0; i < length; ++i) {
      wchar_t c;
      do {
        c = Chance(60) ? wchar_t(L'!' + Below(94)) : wchar_t(1 + Below(0xFFFF));
      } while (c == L'\t' || c == L'\n' || c == L'\r' ||
               (c == L' ' && (i == 0 || i + 1 == length)));
      if (Chance(10) && i > 0 && i + 1 < length) c = L' ';
      field += c;
    }
    return field;
  }

  std::wstring Blanks(int most) {
    std::wstring blanks;
    for (int n = Below(most + 1); n > 0; --n) blanks += Chance(50) ? L' ' : L'\t';
    return blanks;
  }

  Line DeviceLine() {
    std::vector<std::wstring> fields = {Field(), Field(), Pick(kRates), Pick(kBauds)};
    if (Chance(30)) fields[0] = L"QRX_libUart" + fields[0];
    bool valid = true;
    if (Chance(50)) fields.push_back(std::to_wstring(1 + Below(8)));
    if (fields.size() == 5 && Chance(30)) fields.push_back(Field());
    switch (Below(6)) {
      case 0:
        fields[2] = Pick(kBadNumbers);
        valid = false;
        break;
      case 1:
        fields[3] = Pick(kBadNumbers);
        valid = false;
        break;
      case 2:
        fields.resize(size_t(1 + Below(3)));
        valid = false;
        break;
      default:
        break;
    }
    if (fields.size() >= 5 && Chance(20)) {
      fields[4] = Pick(kBadNumbers);
      valid = false;
    }

    Line line;
    line.text = Blanks(3);
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) {
        line.text += std::wstring(size_t(1 + Below(3)), L'\t');
        line.normalised += L'\t';
      }
      line.text += fields[i];
      line.normalised += fields[i];
    }
    line.text += Blanks(3);
    line.kept = valid && line.normalised.rfind(L"QRX_libUart", 0) != 0;
    return line;
  }

  Line OtherLine() {
    static const wchar_t* const kOthers[] = {L"[Devices]", L"; comment", L"", L"   ", L"\t"};
    Line line;
    line.text = Chance(50) ? Pick(kOthers) : Field();
    return line;
  }

  // Lines with their breaks, some repeated under other blanks and tab runs.
  std::vector<Line> Lines() {
    std::vector<Line> lines;
    for (int n = Below(40); n > 0; --n) {
      if (!lines.empty() && Chance(15)) {
        Line repeat = lines[size_t(Below(int(lines.size())))];
        if (!repeat.normalised.empty()) {
          std::wstring text;
          for (wchar_t c : repeat.normalised) {
            text += c == L'\t' ? std::wstring(size_t(1 + Below(3)), L'\t') : std::wstring(1, c);
          }
          repeat.text = Blanks(2) + text + Blanks(2);
        }
        lines.push_back(repeat);
      } else {
        lines.push_back(Chance(75) ? DeviceLine() : OtherLine());
      }
    }
    return lines;
  }

  std::wstring Breaks() {
    static const wchar_t* const kBreaks[] = {L"\r\n", L"\n", L"\r", L"\r\n\r\n", L"\n\n\r"};
    return Pick(kBreaks);
  }

 private:
  SeededRandom random_;
};

std::wstring Pruned(std::wstring text) { return PruneLinkportText(text.data()); }

std::vector<std::wstring> OutputLines(const std::wstring& output) {
  std::vector<std::wstring> lines;
  for (size_t at = 0; at < output.size();) {
    const size_t end = output.find(L"\r\n", at);
    if (end == std::wstring::npos) {
      ADD_FAILURE() << "the output does not end with CR LF";
      break;
    }
    lines.push_back(output.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

}  // namespace

TEST(PruneLinkportProperties, KeepsEveryValidLineOnceWritesNoOtherAndIsStable) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Generator generator(seed);
    const std::vector<Line> lines = generator.Lines();
    std::wstring text = generator.Chance(20) ? generator.Breaks() : L"";
    std::vector<std::wstring> expected;
    std::set<std::wstring> valid;
    for (size_t i = 0; i < lines.size(); ++i) {
      text += lines[i].text;
      if (i + 1 < lines.size() || generator.Chance(50)) text += generator.Breaks();
      if (lines[i].kept && valid.insert(lines[i].normalised).second) {
        expected.push_back(lines[i].normalised);
      }
    }

    const std::wstring output = Pruned(text);
    const std::vector<std::wstring> written = OutputLines(output);
    for (const std::wstring& line : expected) {
      EXPECT_EQ(std::count(written.begin(), written.end(), line), 1) << "a valid line was lost";
    }
    for (const std::wstring& line : written) {
      EXPECT_TRUE(valid.count(line)) << "a line that is not a valid device line was written";
    }
    EXPECT_EQ(written, expected) << "lines out of their first order";
    EXPECT_EQ(Pruned(output), output) << "a second pruning changed the result";
  }
}
