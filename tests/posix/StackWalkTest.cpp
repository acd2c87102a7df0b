#include <gtest/gtest.h>

#include <vector>

#include "runtime/posix/StackWalk.h"

namespace {

// Code addresses of the pretend program image lie below this; others are outside.
constexpr uintptr_t kImageEnd = 0x10000;

bool InPretendImage(const void* address) {
  return reinterpret_cast<uintptr_t>(address) < kImageEnd;
}

const void* Code(uintptr_t address) {
  return reinterpret_cast<const void*>(address);
}

// A pretend stack of frames; frame i sits at word 4 * i, holding the link and
// the return point.
class StackWalkTest : public ::testing::Test {
 protected:
  static constexpr int kWords = 64;

  void* const* Frame(int index) { return &words_[4 * index]; }
  void Link(int index, void* caller, const void* returnPoint) {
    words_[4 * index] = caller;
    words_[4 * index + 1] = const_cast<void*>(returnPoint);
  }
  // Frames 0..count-1 each linked to the next, with return points 0x100, 0x200...
  void Chain(int count) {
    for (int i = 0; i < count; ++i)
      Link(i, const_cast<void**>(Frame(i + 1)), Code(0x100 * (i + 1)));
  }
  StackBounds Bounds() {
    return {reinterpret_cast<uintptr_t>(words_), reinterpret_cast<uintptr_t>(words_ + kWords)};
  }
  // The walk's return points; whether it ended in the start-up code in `endsInStartup_`.
  std::vector<uintptr_t> Walk(void* const* from, void* const* outermost = nullptr) {
    const void* points[kMaxCallerLines];
    const int count =
        WalkCallers(from, Bounds(), {outermost, InPretendImage}, points, endsInStartup_);
    std::vector<uintptr_t> result;
    for (int i = 0; i < count; ++i) result.push_back(reinterpret_cast<uintptr_t>(points[i]));
    return result;
  }

  alignas(16) void* words_[kWords] = {};
  bool endsInStartup_ = false;
};

TEST_F(StackWalkTest, EndsAfterTheReturnPointOutsideTheImage) {
  Chain(2);
  Link(2, const_cast<void**>(Frame(3)), Code(0x7F0000001234));
  Link(3, const_cast<void**>(Frame(4)), Code(0x500));
  EXPECT_EQ(Walk(Frame(0)), (std::vector<uintptr_t>{0x100, 0x200, 0x7F0000001234}));
  EXPECT_TRUE(endsInStartup_);
}

// Start-up code inside the image that keeps frame records of its own.
TEST_F(StackWalkTest, EndsAfterTheReturnPointOutOfTheOutermostFrame) {
  Chain(5);
  EXPECT_EQ(Walk(Frame(0), Frame(2)), (std::vector<uintptr_t>{0x100, 0x200, 0x300}));
  EXPECT_TRUE(endsInStartup_);
  EXPECT_EQ(Walk(Frame(2), Frame(2)), (std::vector<uintptr_t>{0x300}));
  EXPECT_TRUE(endsInStartup_);
}

TEST_F(StackWalkTest, StopsAtAMissingReturnPointOrCallerFrame) {
  Chain(3);
  Link(2, const_cast<void**>(Frame(3)), nullptr);
  EXPECT_EQ(Walk(Frame(0)), (std::vector<uintptr_t>{0x100, 0x200}));
  EXPECT_FALSE(endsInStartup_);
  Link(1, nullptr, Code(0x200));
  EXPECT_EQ(Walk(Frame(0)), (std::vector<uintptr_t>{0x100, 0x200}));
  EXPECT_FALSE(endsInStartup_);
}

TEST_F(StackWalkTest, WritesAtMostNineLines) {
  Chain(14);
  EXPECT_EQ(Walk(Frame(0)).size(), 9u);
  EXPECT_EQ(Walk(Frame(0)).back(), 0x900u);
  EXPECT_FALSE(endsInStartup_);
}

TEST_F(StackWalkTest, StopsAtACallerFrameNotNearerTheBase) {
  Chain(3);
  Link(1, const_cast<void**>(Frame(1)), Code(0x200));
  EXPECT_EQ(Walk(Frame(0)), (std::vector<uintptr_t>{0x100, 0x200}));
  Link(1, const_cast<void**>(Frame(0)), Code(0x200));
  EXPECT_EQ(Walk(Frame(0)), (std::vector<uintptr_t>{0x100, 0x200}));
}

TEST_F(StackWalkTest, NeverReadsOutsideTheStack) {
  Chain(3);
  static void* outside[2] = {nullptr, const_cast<void*>(Code(0x999))};
  Link(1, outside, Code(0x200));
  EXPECT_EQ(Walk(Frame(0)), (std::vector<uintptr_t>{0x100, 0x200}));
  EXPECT_TRUE(Walk(outside).empty());
  EXPECT_TRUE(Walk(nullptr).empty());
  // The last word of the stack cannot hold a whole frame.
  EXPECT_TRUE(Walk(&words_[kWords - 1]).empty());
  // Nor can a misaligned address be a frame.
  auto* misaligned = reinterpret_cast<void* const*>(reinterpret_cast<char*>(words_) + 4);
  EXPECT_TRUE(Walk(misaligned).empty());
}

}  // namespace
