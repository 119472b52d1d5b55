// The module-wide pieces of the dialog hooks: the registry of hooked dialogs and the cut copy.
#include <gtest/gtest.h>

#include <string>

#include "bounded_copy.h"
#include "hook_registry.h"

namespace {
HWND Handle(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(n)); }
}  // namespace

TEST(HookRegistry, RegistersLooksUpAndRemoves) {
  qz::HookRegistry registry;
  EXPECT_TRUE(registry.Register(Handle(10), Handle(1)));
  EXPECT_TRUE(registry.Register(Handle(20), Handle(2)));
  EXPECT_EQ(registry.Lookup(Handle(10)), Handle(1));
  EXPECT_EQ(registry.Lookup(Handle(20)), Handle(2));
  EXPECT_EQ(registry.Lookup(Handle(30)), nullptr);
  registry.Remove(Handle(10));
  EXPECT_EQ(registry.Lookup(Handle(10)), nullptr);
  EXPECT_EQ(registry.Lookup(Handle(20)), Handle(2));
}

TEST(HookRegistry, HoldsTwentyFiveDialogsAndRefusesTheTwentySixth) {
  qz::HookRegistry registry;
  for (int i = 1; i <= 25; ++i) EXPECT_TRUE(registry.Register(Handle(100 + i), Handle(i))) << i;
  EXPECT_FALSE(registry.Register(Handle(200), Handle(99)));
  EXPECT_EQ(registry.Lookup(Handle(200)), nullptr);
  // A freed slot is taken again.
  registry.Remove(Handle(107));
  EXPECT_TRUE(registry.Register(Handle(200), Handle(99)));
  EXPECT_EQ(registry.Lookup(Handle(200)), Handle(99));
}

TEST(CopyCut, CutsToTheBufferAndNeverWritesPastIt) {
  char buffer[8];
  std::string(sizeof buffer, '#').copy(buffer, sizeof buffer);
  qz::CopyCut(buffer, 5, "abcdefgh");
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(buffer[5], '#');  // the bytes after the given size are untouched
  qz::CopyCut(buffer, 5, "ab");
  EXPECT_STREQ(buffer, "ab");
  qz::CopyCut(buffer, 0, "xyz");  // a zero-sized buffer receives nothing
  EXPECT_STREQ(buffer, "ab");
  EXPECT_EQ(buffer[7], '#');
}
