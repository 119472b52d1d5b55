// Composing the about text into its fixed 2000-byte buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "about_text.h"

namespace {

constexpr char kGuard = '\x5A';

// The text buffer sits between two guard zones, so a write past either end shows.
struct GuardedBuffer {
  std::array<char, 64 + qz::kAboutTextBytes + 64> memory;
  GuardedBuffer() { memory.fill(kGuard); }
  std::span<char> Text() { return std::span<char>(memory.data() + 64, qz::kAboutTextBytes); }
  bool GuardsIntact() const {
    return std::all_of(memory.begin(), memory.begin() + 64, [](char c) { return c == kGuard; }) &&
           std::all_of(memory.end() - 64, memory.end(), [](char c) { return c == kGuard; });
  }
};

}  // namespace

TEST(AboutText, PartsFollowTheirLabels) {
  GuardedBuffer buffer;
  const size_t length = qz::ComposeAboutText(buffer.Text(), "Qzdialog32", "7.00.00.00", "C:\\x\\Qzdialog32.ocx");
  const std::string text(buffer.Text().data(), length);
  EXPECT_EQ(buffer.Text()[length], '\0');
  const std::string tail = "Control: Qzdialog32\nVersion: 7.00.00.00\n\nReg.Location: C:\\x\\Qzdialog32.ocx";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_NE(text.find("QzCommonDialog\x99"), std::string::npos);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(AboutText, EmptyVersionLeavesItsLineEmpty) {
  GuardedBuffer buffer;
  const size_t length = qz::ComposeAboutText(buffer.Text(), "name", "", "path");
  EXPECT_NE(std::string(buffer.Text().data(), length).find("\nVersion: \n\nReg.Location: path"), std::string::npos);
}

TEST(AboutText, OverlongPartsAreCutAtTheBufferEnd) {
  const std::string long_version(2500, 'V');
  const std::string long_path(600, 'P');
  GuardedBuffer buffer;
  const size_t length = qz::ComposeAboutText(buffer.Text(), "name", long_version.c_str(), long_path.c_str());
  EXPECT_EQ(length, qz::kAboutTextBytes - 1);
  EXPECT_EQ(buffer.Text()[length], '\0');
  EXPECT_EQ(buffer.Text()[length - 1], 'V');  // cut inside the version; the path never started
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(AboutText, TinyBuffersStayTerminated) {
  std::array<char, 8> memory;
  memory.fill(kGuard);
  EXPECT_EQ(qz::ComposeAboutText(std::span<char>(memory.data() + 2, 1), "n", "v", "p"), 0u);
  EXPECT_EQ(memory[2], '\0');
  EXPECT_EQ(memory[1], kGuard);
  EXPECT_EQ(memory[3], kGuard);
  EXPECT_EQ(qz::ComposeAboutText(std::span<char>(memory.data() + 2, 0), "n", "v", "p"), 0u);
  EXPECT_EQ(memory[2], '\0');
}
