#include "prunell/prune_linkport_text.h"

#include <gtest/gtest.h>

#include <string>

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
