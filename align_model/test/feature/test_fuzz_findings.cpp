// Inputs found by fuzzing the feature program (scripts/fuzz feature_node);
// each case failed before its fix.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::FeatureNode;

// `times` 2147483647 made the node allocate a history of 2^31 entries at
// start-up (32 GB) and die out of memory. Values past the largest sensible
// history are refused like values below 1, naming the parameter and value;
// 10001 is the first such value (and cheap to try without the fix).
TEST(FeatureNodeFuzzFindings, HistoryLengthAboveTheLimitIsRefusedWithItsValue)
{
  align_test::NodeHarness harness;
  for (const int times : {10001, 2147483647}) {
    SCOPED_TRACE(times);
    if (times > 10001 && ::testing::Test::HasFailure()) {
      break;  // without the limit, the next value would take all the memory
    }
    try {
      harness.start<FeatureNode>({{"times", times}});
      ADD_FAILURE() << "times " << times << " was accepted";
    } catch (const std::invalid_argument & error) {
      const std::string text = error.what();
      EXPECT_NE(text.find("times"), std::string::npos) << text;
      EXPECT_NE(text.find(std::to_string(times)), std::string::npos) << text;
    }
  }
  EXPECT_NO_THROW(harness.start<FeatureNode>({{"times", 10000}}));
}

}  // namespace
