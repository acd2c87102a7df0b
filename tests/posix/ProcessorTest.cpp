// The processor's part of the fault handling, on the processor the tests run
// on: return points told by the call instruction before them.
#include <gtest/gtest.h>

#include "runtime/posix/Processor.h"

namespace {

uintptr_t returnPoint = 0;

[[gnu::noinline]] void NoteReturnPoint() {
  returnPoint = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
}

TEST(ProcessorTest, AReturnPointOfADirectCallLeadsToTheRoutineCalled) {
  NoteReturnPoint();
  uintptr_t target = 0;
  ASSERT_TRUE(FollowsDirectCall(returnPoint, target));
  EXPECT_EQ(target, reinterpret_cast<uintptr_t>(&NoteReturnPoint));
}

TEST(ProcessorTest, NoOtherWordFollowsADirectCall) {
  void (*volatile through)() = NoteReturnPoint;
  through();
  uintptr_t target = 0;
  EXPECT_FALSE(FollowsDirectCall(returnPoint, target)) << "a call through a pointer";
  EXPECT_FALSE(FollowsDirectCall(reinterpret_cast<uintptr_t>(&target), target)) << "the stack";
  EXPECT_FALSE(FollowsDirectCall(0, target));
}

}  // namespace
