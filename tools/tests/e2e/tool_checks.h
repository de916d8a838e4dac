#pragma once

// What every run of a tool must show: nothing at all, or exactly the usage message.

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/tool_run.h"

inline void ExpectSilentExit(const ToolRun& run) {
  ASSERT_TRUE(run.started);
  EXPECT_FALSE(run.timedOut);
  EXPECT_TRUE(run.boxes.empty()) << (run.boxes.empty() ? std::wstring() : run.boxes[0].text);
  EXPECT_EQ(run.exitCode, 0u);
}

// One box with the usage text and the platform's caption for a box given none, owned by the
// tool's hidden window (its title and class from the tool's resources), and a clean exit.
inline void ExpectUsage(const ToolRun& run, const std::wstring& usage, const wchar_t* ownerTitle,
                        const wchar_t* ownerClass) {
  ASSERT_TRUE(run.started);
  EXPECT_FALSE(run.timedOut);
  ASSERT_EQ(run.boxes.size(), 1u);
  const MessageBoxSeen& box = run.boxes[0];
  EXPECT_EQ(box.text, usage);
  EXPECT_EQ(box.caption, L"Error");
  EXPECT_EQ(box.buttonCount, 1);
  EXPECT_TRUE(box.hasOkButton);
  EXPECT_EQ(box.ownerClass, ownerClass);
  EXPECT_EQ(box.ownerTitle, ownerTitle);
  EXPECT_FALSE(box.ownerVisible);
  EXPECT_EQ(run.exitCode, 0u);
}

inline std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }
