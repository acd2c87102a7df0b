#include <gtest/gtest.h>

#include <string>

#include "terminal/HeldKeys.h"

namespace {

TEST(HeldKeys, FollowsPressesAndReleasesOfBothProtocols) {
  const struct {
    const char* name;
    int heldBefore;
    std::string input;
    int held;
  } cases[] = {
      {"kitty release of a held key", 1, "\x1b[1;1:3C", 0},
      {"kitty repeat is no press", 1, "\x1b[97;1:2u", 1},
      {"kitty press and release in one read", 0, "\x1b[97u\x1b[97;1:3u", 0},
      {"kitty press with text", 0, "\x1b[54;2;47u", 1},
      {"kitty text parameter is no event type", 0, "\x1b[54;2;47:48u", 1},
      {"win32 press repeated counts once", 0, "\x1b[65;30;97;1;0;1_\x1b[65;30;97;1;0;1_", 1},
      {"win32 release", 2, "\x1b[16;42;0;0;0;1_", 1},
      {"plain text changes nothing", 1, "abc\r", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeldKeys keys(c.heldBefore);
    for (char byte : c.input) keys.Feed(byte);
    EXPECT_EQ(keys.Held(), c.held);
  }
}

}  // namespace
