#include "prunell/linkport_ini.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

namespace {

std::vector<std::wstring> Listing(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

class PruneLinkportIniTest : public ::testing::Test {
 protected:
  ScratchFolder folder_{L"ini"};
  std::wstring ini_ = folder_ / L"Linkport.ini";

  // Writes bytes, prunes, and returns what the file then holds.
  std::string PruneBytes(const std::string& bytes) {
    EXPECT_TRUE(WriteBytes(ini_, bytes));
    PruneLinkportIni(ini_.c_str());
    EXPECT_EQ(Listing(folder_.Path()), std::vector<std::wstring>{L"Linkport.ini"});
    return ReadBytes(ini_);
  }
  std::string Prune(const std::wstring& text) { return PruneBytes(Utf16File(text)); }
};

}  // namespace

TEST_F(PruneLinkportIniTest, WorkedExampleByteForByte) {
  const std::string written = Prune(
      L"[Devices]\r\n"
      L"QRX_libUart1.dll\tMic A\t16000\t921600\r\n"
      L"  QRX_libAdb.dll\t\tPhone\t8000\t115200\t2 \r\n"
      L"QRX_libAdb.dll\tPhone\t8000\t115200\t2\r\n"
      L"QRX_libGPCE4.dll\tBoard\t12000\t115200\r\n");
  std::string expected = "\xFF\xFE";
  for (char c : std::string("QRX_libAdb.dll\tPhone\t8000\t115200\t2\r\n")) {
    expected += c;
    expected += '\0';
  }
  ASSERT_EQ(expected.size(), 74u);
  EXPECT_EQ(written, expected);
}

TEST_F(PruneLinkportIniTest, FilesOfTheMarkAloneOrLessAreNotRewritten) {
  const std::string mark = "\xFF\xFE";
  for (const std::string& bytes : {mark, mark + "A", std::string("\xFF"), std::string()}) {
    EXPECT_EQ(PruneBytes(bytes), bytes);
  }
}

TEST_F(PruneLinkportIniTest, FourByteFileIsRewritten) {
  EXPECT_EQ(PruneBytes(std::string("\xFF\xFE") + 'x' + '\0'), "\xFF\xFE");
}

TEST_F(PruneLinkportIniTest, NothingValidLeavesTheMarkAlone) {
  EXPECT_EQ(Prune(L"\r\n\n\r\n"), "\xFF\xFE");
  EXPECT_EQ(Prune(L"[Devices]\r\n; nothing here\r\nQRX_libUart\tx\t8000\t115200\r\n"), "\xFF\xFE");
}

TEST_F(PruneLinkportIniTest, LineFeedsAndUnterminatedLastLineBecomeCrLf) {
  const std::wstring lines = L"A\tx\t8000\t115200\nB\tx\t16000\t921600";
  const std::string written = Prune(lines);
  EXPECT_EQ(written, Utf16File(L"A\tx\t8000\t115200\r\nB\tx\t16000\t921600\r\n"));
  EXPECT_GT(written.size(), Utf16File(lines).size());
}

TEST_F(PruneLinkportIniTest, OddLastByteIsDropped) {
  EXPECT_EQ(PruneBytes(Utf16File(L"A\tx\t8000\t115200") + "7"),
            Utf16File(L"A\tx\t8000\t115200\r\n"));
}

TEST_F(PruneLinkportIniTest, MoreLinesThanTheOldTableHeldAreAllKept) {
  std::wstring text;
  std::wstring expected;
  for (int i = 0; i < 700; ++i) {
    const std::wstring line = L"Dev" + std::to_wstring(i) + L"\tname\t16000\t460800\t2";
    text += L" " + line + L"\n";
    expected += line + L"\r\n";
  }
  EXPECT_EQ(Prune(text), Utf16File(expected));
}

TEST_F(PruneLinkportIniTest, FilesWithoutTheLittleEndianMarkAreUntouched) {
  const std::string narrow = "A\tx\t8000\t115200\r\n[Devices]\r\n";
  EXPECT_EQ(PruneBytes(narrow), narrow);
  std::string bigEndian = "\xFE\xFF";
  for (char c : std::string("[Devices]\r\n")) bigEndian += std::string{'\0', c};
  EXPECT_EQ(PruneBytes(bigEndian), bigEndian);
  const std::string utf8 = "\xEF\xBB\xBF[Devices]\r\n";
  EXPECT_EQ(PruneBytes(utf8), utf8);
}

TEST_F(PruneLinkportIniTest, TextHoldingNulIsUntouched) {
  const std::string bytes = Utf16File(std::wstring(L"[Devices]\r\n\0A\tx\t8000\t115200\r\n", 29));
  EXPECT_EQ(PruneBytes(bytes), bytes);
}

TEST_F(PruneLinkportIniTest, FolderNamedLinkportIniIsLeftAlone) {
  ASSERT_TRUE(CreateDirectoryW(ini_.c_str(), nullptr));
  PruneLinkportIni(ini_.c_str());
  EXPECT_NE(GetFileAttributesW(ini_.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(Listing(folder_.Path()), std::vector<std::wstring>{L"Linkport.ini"});
}

TEST_F(PruneLinkportIniTest, MissingFileIsNotCreated) {
  PruneLinkportIni(ini_.c_str());
  EXPECT_TRUE(Listing(folder_.Path()).empty());
}

TEST_F(PruneLinkportIniTest, FailedReplaceLeavesTheOriginalAndNoTemporaryFile) {
  const std::string original = Utf16File(L"[Devices]\nA\tx\t8000\t115200\n");
  ASSERT_TRUE(WriteBytes(ini_, original));
  // Readers are let in, but nobody may replace or delete the file while this handle is open.
  HANDLE lock = CreateFileW(ini_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  PruneLinkportIni(ini_.c_str());
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(ini_), original);
  EXPECT_EQ(Listing(folder_.Path()), std::vector<std::wstring>{L"Linkport.ini"});
}

TEST_F(PruneLinkportIniTest, ReadOnlyFileIsNotReplaced) {
  const std::string original = Utf16File(L"[Devices]\nA\tx\t8000\t115200\n");
  ASSERT_TRUE(WriteBytes(ini_, original));
  ASSERT_TRUE(SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_READONLY));
  PruneLinkportIni(ini_.c_str());
  EXPECT_EQ(ReadBytes(ini_), original);
  EXPECT_EQ(Listing(folder_.Path()), std::vector<std::wstring>{L"Linkport.ini"});
}

TEST_F(PruneLinkportIniTest, HiddenFileStaysHidden) {
  ASSERT_TRUE(WriteBytes(ini_, Utf16File(L"[Devices]\nA\tx\t8000\t115200\n")));
  ASSERT_TRUE(SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_HIDDEN));
  PruneLinkportIni(ini_.c_str());
  EXPECT_EQ(ReadBytes(ini_), Utf16File(L"A\tx\t8000\t115200\r\n"));
  EXPECT_NE(GetFileAttributesW(ini_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(ReadWideTextFile, MeasuresThenReadsNoMoreThanAsked) {
  ScratchFolder folder(L"read");
  const std::wstring path = folder / L"text.ini";
  ASSERT_TRUE(WriteBytes(path, Utf16File(L"abcdef") + "z"));
  EXPECT_EQ(ReadWideTextFile(path.c_str(), nullptr, 0), 6);

  wchar_t buffer[8];
  wmemset(buffer, L'#', 8);
  EXPECT_EQ(ReadWideTextFile(path.c_str(), buffer, 6), 6);
  EXPECT_STREQ(buffer, L"abcdef");
  // A file that grew since it was measured is read only up to the measure.
  wmemset(buffer, L'#', 8);
  EXPECT_EQ(ReadWideTextFile(path.c_str(), buffer, 3), 3);
  EXPECT_STREQ(buffer, L"abc");
  EXPECT_EQ(buffer[4], L'#');
}

TEST(ReadWideTextFile, ShrunkFileYieldsOnlyWhatItHolds) {
  ScratchFolder folder(L"read");
  const std::wstring path = folder / L"text.ini";
  ASSERT_TRUE(WriteBytes(path, Utf16File(L"ab")));
  wchar_t buffer[8];
  wmemset(buffer, L'#', 8);
  EXPECT_EQ(ReadWideTextFile(path.c_str(), buffer, 6), 2);
  EXPECT_STREQ(buffer, L"ab");
}

TEST(ReadWideTextFile, ZeroWithoutFileOrMark) {
  ScratchFolder folder(L"read");
  const std::wstring path = folder / L"text.ini";
  EXPECT_EQ(ReadWideTextFile(path.c_str(), nullptr, 0), 0);
  ASSERT_TRUE(WriteBytes(path, "plain text"));
  EXPECT_EQ(ReadWideTextFile(path.c_str(), nullptr, 0), 0);
  ASSERT_TRUE(WriteBytes(path, "\xFF"));
  EXPECT_EQ(ReadWideTextFile(path.c_str(), nullptr, 0), 0);
  ASSERT_TRUE(WriteBytes(path, "\xFF\xFE"));
  EXPECT_EQ(ReadWideTextFile(path.c_str(), nullptr, 0), 0);
  ASSERT_TRUE(WriteBytes(path, std::string("\xFF\xFE") + "a"));
  EXPECT_EQ(ReadWideTextFile(path.c_str(), nullptr, 0), 0);
}

static std::wstring Pruned(std::wstring text) { return PruneLinkportText(text.data()); }

TEST(PruneLinkportText, DropsCloneLinesEvenWhenValid) {
  EXPECT_EQ(Pruned(L"QRX_libUart2.dll\tname\t16000\t921600\n"
                   L" \t QRX_libUart2.dll\tname\t16000\t921600\n"
                   L"QRX_libUart\tx\t8000\t115200"),
            L"");
}

TEST(PruneLinkportText, OtherCaseCloneLinesAreJudgedNormally) {
  EXPECT_EQ(Pruned(L"qrx_libuart2.dll\tname\t16000\t921600\nqrx_libuart3.dll\tname\t16000\n"),
            L"qrx_libuart2.dll\tname\t16000\t921600\r\n");
}

TEST(PruneLinkportText, RemovesHeadersCommentsAndShortLines) {
  EXPECT_EQ(Pruned(L"[Devices]\n; comment\n# other\n\n   \na\tb\t8000\nA\tB\t8000\t115200\n"),
            L"A\tB\t8000\t115200\r\n");
}

TEST(PruneLinkportText, NormalisesTabRunsAndOuterBlanks) {
  EXPECT_EQ(Pruned(L"\ta\t\t\tb\t8000\t\t\t\t115200\t \n"), L"a\tb\t8000\t115200\r\n");
  EXPECT_EQ(Pruned(L" a  x\tb\t8000\t115200  \n"), L"a  x\tb\t8000\t115200\r\n");
}

TEST(PruneLinkportText, RepeatsAfterNormalisingKeepTheFirstPosition) {
  EXPECT_EQ(Pruned(L"A\tx\t8000\t115200\n"
                   L"B\tx\t8000\t115200\n"
                   L"  A\t\tx\t8000\t\t\t115200\t\n"
                   L"B\tx\t8000\t115200\n"),
            L"A\tx\t8000\t115200\r\nB\tx\t8000\t115200\r\n");
}

TEST(PruneLinkportText, LinesDifferingInCaseAreBothKept) {
  EXPECT_EQ(Pruned(L"A\tx\t8000\t115200\na\tx\t8000\t115200\n"),
            L"A\tx\t8000\t115200\r\na\tx\t8000\t115200\r\n");
}

TEST(PruneLinkportText, RepeatOfAnInvalidLineStillCountsAsSeen) {
  // Validity is judged only when writing, so an invalid first copy hides nothing valid.
  EXPECT_EQ(Pruned(L"A\tx\t12000\t115200\nA\tx\t12000\t115200\n"), L"");
}

TEST(PruneLinkportText, AnyMixOfLineBreaksSplitsLines) {
  EXPECT_EQ(Pruned(L"A\tx\t8000\t115200\rB\tx\t8000\t115200\n\r\r\nC\tx\t8000\t115200"),
            L"A\tx\t8000\t115200\r\nB\tx\t8000\t115200\r\nC\tx\t8000\t115200\r\n");
}

TEST(PruneLinkportText, SixthFieldIsWrittenWhole) {
  EXPECT_EQ(Pruned(L"A\tx\t8000\t115200\t2\tnote  here\t\tmore\n"),
            L"A\tx\t8000\t115200\t2\tnote  here\tmore\r\n");
}

TEST(IsDeviceLine, AcceptsEveryAllowedSamplingRate) {
  for (const wchar_t* rate :
       {L"8000", L"11025", L"16000", L"22050", L"32000", L"44100", L"48000"}) {
    EXPECT_TRUE(
        IsDeviceLine((std::wstring(L"QRX_libAdb.dll\tPhone\t") + rate + L"\t115200").c_str()))
        << rate;
  }
}

TEST(IsDeviceLine, RefusesOtherSamplingRates) {
  for (const wchar_t* rate : {L"12000", L"0", L"-8000", L"96000", L"7999", L"x8000", L""}) {
    EXPECT_FALSE(IsDeviceLine((std::wstring(L"a\tb\t") + rate + L"\t115200").c_str())) << rate;
  }
}

TEST(IsDeviceLine, AcceptsExactlyTheSixBaudRates) {
  for (const wchar_t* baud :
       {L"115200", L"460800", L"921600", L"1000000", L"1200000", L"1600000"}) {
    EXPECT_TRUE(IsDeviceLine((std::wstring(L"a\tb\t8000\t") + baud).c_str())) << baud;
  }
  for (const wchar_t* baud : {L"230400", L"9600", L"57600", L"2000000", L"0"}) {
    EXPECT_FALSE(IsDeviceLine((std::wstring(L"a\tb\t8000\t") + baud).c_str())) << baud;
  }
}

TEST(IsDeviceLine, CountIsOneToEightAndOneWhenAbsent) {
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200\t1"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200\t8"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\t0"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\t9"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\t-1"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\tmany"));
}

TEST(IsDeviceLine, ReadsNumbersLikeWtoi) {
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000Hz\t115200"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t 8000\t  115200baud\t+3"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t+16000\t921600\t 2 boards"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t16k\t921600"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\tHz8000\t921600"));
}

TEST(IsDeviceLine, BlankFieldDoesNotBorrowTheNextOne) {
  // A field of spaces reads as 0; the number behind the tab belongs to the next field.
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t   \t8000\t115200"));
  EXPECT_FALSE(IsDeviceLine(L"a\tb\t8000\t115200\t  \t3"));
}

TEST(IsDeviceLine, NeedsFourFields) {
  EXPECT_FALSE(IsDeviceLine(L""));
  EXPECT_FALSE(IsDeviceLine(L"[Devices]"));
  EXPECT_FALSE(IsDeviceLine(L"a\t8000\t115200"));
  EXPECT_FALSE(IsDeviceLine(L"; a\tcomment"));
}

TEST(IsDeviceLine, TabRunsAndLeadingTabsSeparateFields) {
  EXPECT_TRUE(IsDeviceLine(L"\t\ta\t\t\tb\t8000\t\t115200\t"));
  EXPECT_FALSE(IsDeviceLine(L"\ta\t\t8000\t115200"));
}

TEST(IsDeviceLine, FieldsFromTheSixthOnAreIgnored) {
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200\t2\tanything\tat all"));
  EXPECT_TRUE(IsDeviceLine(L"a\tb\t8000\t115200\t2\t99999"));
}

TEST(IsDeviceLine, LeavesTheLineUnchanged) {
  const std::wstring original = L"a\tb\t8000\t115200\t2\tx";
  std::wstring line = original;
  IsDeviceLine(line.c_str());
  EXPECT_EQ(line, original);
}

static std::wstring Collapsed(std::wstring text) { return CollapseTabs(text.data()); }

TEST(CollapseTabs, OnePassHalvesEachRunRoundingUp) {
  EXPECT_EQ(Collapsed(L"a\tb"), L"a\tb");
  EXPECT_EQ(Collapsed(L"a\t\tb"), L"a\tb");
  EXPECT_EQ(Collapsed(L"a\t\t\tb"), L"a\t\tb");
  EXPECT_EQ(Collapsed(L"a\t\t\t\tb"), L"a\t\tb");
  EXPECT_EQ(Collapsed(L"a\t\t\t\t\tb\t\t\tc"), L"a\t\t\tb\t\tc");
}

TEST(CollapseTabs, RepeatedPassesLeaveSingleTabs) {
  std::wstring text = L"\t\t\t\t\t\t\tx\t\t\t\t\ty";
  size_t length = text.size();
  for (;;) {
    CollapseTabs(text.data());
    const size_t shorter = wcslen(text.c_str());
    if (shorter == length) break;
    length = shorter;
  }
  EXPECT_EQ(std::wstring(text.c_str()), L"\tx\ty");
}

TEST(CollapseTabs, LeavesOtherCharactersAlone) {
  EXPECT_EQ(Collapsed(L"  a  b\r\n"), L"  a  b\r\n");
  EXPECT_EQ(Collapsed(L""), L"");
}
