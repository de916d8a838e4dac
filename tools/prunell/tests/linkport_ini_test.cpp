// Linkport.ini pruning case by case; linkport_ini_property_test.cpp runs it on random texts,
// and the end-to-end tests run it on the installed layout.
#include "prunell/linkport_ini.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <utility>

#include "tests/support/scratch_folder.h"

namespace {

class PruneLinkportIniTest : public ::testing::Test {
 protected:
  ScratchFolder folder_{L"ini"};
  std::wstring ini_ = folder_ / L"Linkport.ini";

  void ExpectOnlyTheIni() {
    EXPECT_EQ(Listing(folder_.Path()), std::set<std::wstring>{L"Linkport.ini"});
  }
};

}  // namespace

// The bytes of a file before and after pruning: files that are not UTF-16LE text with its mark
// are left as they are; the rest is written as CR LF lines, an odd last byte dropped.
TEST_F(PruneLinkportIniTest, RewritesOnlyLittleEndianTextWithItsMark) {
  const std::string mark = "\xFF\xFE";
  std::string bigEndian = "\xFE\xFF";
  for (char c : std::string("[Devices]\r\n")) bigEndian += std::string{'\0', c};
  std::wstring many, manyPruned;
  for (int i = 0; i < 700; ++i) {
    const std::wstring line = L"Dev" + std::to_wstring(i) + L"\tname\t16000\t460800\t2";
    many += L" " + line + L"\n";
    manyPruned += line + L"\r\n";
  }
  const std::pair<std::string, std::string> cases[] = {
      {mark, mark},
      {mark + "A", mark + "A"},
      {"\xFF", "\xFF"},
      {"", ""},
      {mark + std::string("x\0", 2), mark},
      {Utf16File(L"\r\n\n\r\n"), mark},
      {Utf16File(L"[Devices]\r\n; nothing here\r\nQRX_libUart\tx\t8000\t115200\r\n"), mark},
      {Utf16File(L"A\tx\t8000\t115200\nB\tx\t16000\t921600"),
       Utf16File(L"A\tx\t8000\t115200\r\nB\tx\t16000\t921600\r\n")},
      {Utf16File(L"A\tx\t8000\t115200") + "7", Utf16File(L"A\tx\t8000\t115200\r\n")},
      {Utf16File(many), Utf16File(manyPruned)},
      {"A\tx\t8000\t115200\r\n[Devices]\r\n", "A\tx\t8000\t115200\r\n[Devices]\r\n"},
      {bigEndian, bigEndian},
      {"\xEF\xBB\xBF[Devices]\r\n", "\xEF\xBB\xBF[Devices]\r\n"},
      {Utf16File(std::wstring(L"[Devices]\r\n\0A\tx\t8000\t115200\r\n", 29)),
       Utf16File(std::wstring(L"[Devices]\r\n\0A\tx\t8000\t115200\r\n", 29))},
  };
  for (const auto& [before, after] : cases) {
    ASSERT_TRUE(WriteBytes(ini_, before));
    PruneLinkportIni(ini_.c_str());
    EXPECT_EQ(ReadBytes(ini_), after) << before.size() << " bytes";
    ExpectOnlyTheIni();
  }
}

TEST_F(PruneLinkportIniTest, FolderOrMissingFileIsLeftAsItIs) {
  PruneLinkportIni(ini_.c_str());
  EXPECT_TRUE(Listing(folder_.Path()).empty());
  ASSERT_TRUE(CreateDirectoryW(ini_.c_str(), nullptr));
  PruneLinkportIni(ini_.c_str());
  EXPECT_NE(GetFileAttributesW(ini_.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  ExpectOnlyTheIni();
}

TEST_F(PruneLinkportIniTest, LockedOrReadOnlyFileKeepsItsTextAndLeavesNoTemporaryFile) {
  const std::string original = Utf16File(L"[Devices]\nA\tx\t8000\t115200\n");
  ASSERT_TRUE(WriteBytes(ini_, original));
  // Readers are let in, but nobody may replace or delete the file while this handle is open.
  HANDLE lock = CreateFileW(ini_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  PruneLinkportIni(ini_.c_str());
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(ini_), original);
  ExpectOnlyTheIni();

  ASSERT_TRUE(SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_READONLY));
  PruneLinkportIni(ini_.c_str());
  EXPECT_EQ(ReadBytes(ini_), original);
  ExpectOnlyTheIni();
}

TEST_F(PruneLinkportIniTest, HiddenFileStaysHidden) {
  ASSERT_TRUE(WriteBytes(ini_, Utf16File(L"[Devices]\nA\tx\t8000\t115200\n")));
  ASSERT_TRUE(SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_HIDDEN));
  PruneLinkportIni(ini_.c_str());
  EXPECT_EQ(ReadBytes(ini_), Utf16File(L"A\tx\t8000\t115200\r\n"));
  EXPECT_NE(GetFileAttributesW(ini_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(ReadWideTextFile, MeasuresThenReadsNoMoreThanAskedNorMoreThanThereIs) {
  ScratchFolder folder(L"read");
  const std::wstring path = folder / L"text.ini";
  EXPECT_EQ(ReadWideTextFile(path.c_str(), nullptr, 0), 0);
  for (const std::string& bytes : {std::string("plain text"), std::string("\xFF"),
                                   std::string("\xFF\xFE"), std::string("\xFF\xFE") + "a"}) {
    ASSERT_TRUE(WriteBytes(path, bytes));
    EXPECT_EQ(ReadWideTextFile(path.c_str(), nullptr, 0), 0) << bytes;
  }

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
  // One that shrank yields what it holds.
  ASSERT_TRUE(WriteBytes(path, Utf16File(L"ab")));
  wmemset(buffer, L'#', 8);
  EXPECT_EQ(ReadWideTextFile(path.c_str(), buffer, 6), 2);
  EXPECT_STREQ(buffer, L"ab");
}

// What linkport_ini_property_test.cpp does not generate: names in other letter cases, and
// fields beyond the sixth.
TEST(PruneLinkportText, JudgesOtherCaseCloneNamesAsAnyLineAndKeepsCaseVariants) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"qrx_libuart2.dll\tname\t16000\t921600\nqrx_libuart3.dll\tname\t16000\n",
       L"qrx_libuart2.dll\tname\t16000\t921600\r\n"},
      {L"A\tx\t8000\t115200\na\tx\t8000\t115200\n",
       L"A\tx\t8000\t115200\r\na\tx\t8000\t115200\r\n"},
      {L"A\tx\t8000\t115200\t2\tnote  here\t\tmore\n",
       L"A\tx\t8000\t115200\t2\tnote  here\tmore\r\n"},
  };
  for (auto [text, pruned] : cases) EXPECT_EQ(PruneLinkportText(text.data()), pruned) << pruned;
}

// What linkport_ini_property_test.cpp does not generate, where it draws every allowed and
// several refused rates, baud rates and counts: numbers as _wtoi reads them, blank fields, and
// other refused values.
TEST(IsDeviceLine, ReadsNumbersLikeWtoiAndNeverBorrowsTheNextField) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"a\tb\t8000Hz\t115200", true},
      {L"a\tb\t 8000\t  115200baud\t+3", true},
      {L"a\tb\t+16000\t921600\t 2 boards", true},
      {L"a\tb\t16k\t921600", false},
      {L"a\tb\tHz8000\t921600", false},
      {L"a\tb\tx8000\t115200", false},
      // A field of spaces reads as 0; the number behind the tab belongs to the next field.
      {L"a\tb\t   \t8000\t115200", false},
      {L"a\tb\t8000\t115200\t  \t3", false},
      {L"a\tb\t8000\t230400", false},
      {L"a\tb\t8000\t9600", false},
      {L"a\tb\t8000\t57600", false},
      {L"a\tb\t8000\t2000000", false},
      {L"a\tb\t8000\t115200\t-1", false},
      {L"a\tb\t8000\t115200\t2\t99999", true},
  };
  for (const auto& [line, valid] : cases) EXPECT_EQ(IsDeviceLine(line), valid) << line;
}
