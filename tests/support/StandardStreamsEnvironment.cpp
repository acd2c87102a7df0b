// Every test process has the standard streams open, as a program has after
// start-up, so that a fatal error in a test writes its report to stderr.
#include <gtest/gtest.h>

#include "runtime/StandardStreams.h"

namespace {

class StandardStreamsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { OpenStandardStreams(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new StandardStreamsEnvironment);

}  // namespace
