// The resources of both executables, read from the built files. Their strings name the
// window and its class, which the usage tests check; tests/windows/check_pe.sh checks that each
// is a GUI program with every kind of resource and a manifest that asks for no privileges.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/e2e/tool_files.h"

namespace {

struct ToolTraits {
  const wchar_t* file;
  const wchar_t* versionText;
};

const ToolTraits kTools[] = {
    {L"Prunell.exe", L"Prunell Version 1.0"},
    {L"Vaultsweep.exe", L"Vaultsweep Version 1.0"},
};

// Reads the variable-length parts of a dialog template: a string, or 0xFFFF and an ordinal.
struct NameOrOrdinal {
  std::wstring name;
  int ordinal = -1;
};

class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* start) : start_(start), at_(start) {}
  WORD Word() {
    WORD value;
    std::memcpy(&value, at_, 2);
    at_ += 2;
    return value;
  }
  DWORD Dword() {
    const DWORD low = Word();
    return low | (DWORD(Word()) << 16);
  }
  short Short() { return short(Word()); }
  std::wstring String() {
    std::wstring text;
    for (WORD c = Word(); c != 0; c = Word()) text += wchar_t(c);
    return text;
  }
  NameOrOrdinal Item() {
    NameOrOrdinal item;
    WORD first;
    std::memcpy(&first, at_, 2);
    if (first == 0xFFFF) {
      Word();
      item.ordinal = Word();
    } else {
      item.name = String();
    }
    return item;
  }
  void AlignToDword() { at_ = start_ + ((at_ - start_ + 3) & ~3); }
  void Skip(size_t bytes) { at_ += bytes; }

 private:
  const BYTE* start_;
  const BYTE* at_;
};

bool IsClass(const NameOrOrdinal& item, const wchar_t* name, int atom) {
  return item.ordinal == atom || _wcsicmp(item.name.c_str(), name) == 0;
}

class ToolResources : public ::testing::TestWithParam<ToolTraits> {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(BuiltTool(GetParam().file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  std::string Resource(const wchar_t* type, int id) {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return std::string();
    const void* data = LockResource(LoadResource(module_, found));
    return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
  }
  HMODULE module_ = nullptr;
};

}  // namespace

TEST_P(ToolResources, MenuHasFileExitAndHelpAbout) {
  HMENU menu = LoadMenuW(module_, MAKEINTRESOURCEW(109));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  wchar_t text[64];
  const struct {
    const wchar_t* popup;
    const wchar_t* item;
    UINT command;
  } expected[] = {{L"&File", L"E&xit", 105}, {L"&Help", L"&About ...", 104}};
  for (int i = 0; i < 2; ++i) {
    GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, expected[i].popup);
    HMENU popup = GetSubMenu(menu, i);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 1);
    EXPECT_EQ(GetMenuItemID(popup, 0), expected[i].command);
    GetMenuStringW(popup, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, expected[i].item);
  }
  DestroyMenu(menu);
}

TEST_P(ToolResources, AcceleratorsAreAltQuestionMarkAndAltSlashCharacters) {
  HACCEL table = LoadAcceleratorsW(module_, MAKEINTRESOURCEW(109));
  ASSERT_NE(table, nullptr);
  ACCEL entries[4];
  ASSERT_EQ(CopyAcceleratorTableW(table, entries, 4), 2);
  EXPECT_EQ(entries[0].key, L'?');
  EXPECT_EQ(entries[1].key, L'/');
  for (const ACCEL& entry : {entries[0], entries[1]}) {
    EXPECT_EQ(entry.fVirt & ~0x80, FALT);  // a character, not a virtual key
    EXPECT_EQ(entry.cmd, 104);
  }
  DestroyAcceleratorTable(table);
}

TEST_P(ToolResources, CarriesBothIconGroups) {
  EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(107), RT_GROUP_ICON), nullptr);
  EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(108), RT_GROUP_ICON), nullptr);
  HANDLE large = LoadImageW(module_, MAKEINTRESOURCEW(107), IMAGE_ICON, 32, 32, 0);
  HANDLE small = LoadImageW(module_, MAKEINTRESOURCEW(108), IMAGE_ICON, 16, 16, 0);
  EXPECT_NE(large, nullptr);
  EXPECT_NE(small, nullptr);
  if (large) DestroyIcon(static_cast<HICON>(large));
  if (small) DestroyIcon(static_cast<HICON>(small));
}

TEST_P(ToolResources, AboutBoxLayout) {
  const std::string data = Resource(RT_DIALOG, 103);
  ASSERT_FALSE(data.empty());
  TemplateReader reader(reinterpret_cast<const BYTE*>(data.data()));
  EXPECT_EQ(reader.Dword(), DWORD(DS_MODALFRAME | DS_SETFONT | WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(reader.Dword(), 0u);
  ASSERT_EQ(reader.Word(), 4);
  EXPECT_EQ(reader.Short(), 22);
  EXPECT_EQ(reader.Short(), 17);
  EXPECT_EQ(reader.Short(), 230);
  EXPECT_EQ(reader.Short(), 75);
  EXPECT_EQ(reader.Item().name, L"");  // no menu
  EXPECT_EQ(reader.Item().name, L"");  // the standard dialog class
  EXPECT_EQ(reader.String(), L"About");
  EXPECT_EQ(reader.Word(), 8);
  EXPECT_EQ(reader.String(), L"System");

  struct Control {
    DWORD style;  // beside WS_CHILD | WS_VISIBLE
    short x, y, cx, cy;
    WORD id;
    const wchar_t* className;
    int atom;
  };
  const Control expected[] = {
      {SS_ICON, 14, 9, 16, 16, 2, L"Static", 0x82},
      {SS_NOPREFIX | WS_GROUP, 49, 10, 119, 8, 0xFFFF, L"Static", 0x82},
      {SS_LEFT | WS_GROUP, 49, 20, 119, 8, 0xFFFF, L"Static", 0x82},
      {BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 195, 6, 30, 11, IDOK, L"Button", 0x80},
  };
  for (const Control& control : expected) {
    reader.AlignToDword();
    EXPECT_EQ(reader.Dword(), control.style | WS_CHILD | WS_VISIBLE) << control.id;
    reader.Dword();
    EXPECT_EQ(reader.Short(), control.x);
    EXPECT_EQ(reader.Short(), control.y);
    EXPECT_EQ(reader.Short(), control.cx);
    EXPECT_EQ(reader.Short(), control.cy);
    EXPECT_EQ(reader.Word(), control.id);
    EXPECT_TRUE(IsClass(reader.Item(), control.className, control.atom)) << control.id;
    const NameOrOrdinal text = reader.Item();
    if (control.id == 2) {
      EXPECT_EQ(text.ordinal, 107);
    } else if (control.id == IDOK) {
      EXPECT_EQ(text.name, L"OK");
    } else if (control.y == 10) {
      EXPECT_EQ(text.name, GetParam().versionText);
    } else {
      EXPECT_FALSE(text.name.empty());
    }
    reader.Skip(reader.Word());
  }
}

INSTANTIATE_TEST_SUITE_P(BothTools, ToolResources, ::testing::ValuesIn(kTools),
                         [](const ::testing::TestParamInfo<ToolTraits>& info) {
                           return info.index == 0 ? std::string("Prunell")
                                                  : std::string("Vaultsweep");
                         });
