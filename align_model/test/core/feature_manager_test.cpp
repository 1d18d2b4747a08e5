#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/feature_manager.hpp"
#include "align_model/near_success.hpp"
#include "align_model/softmax_shares.hpp"

namespace
{

using align_model::Feature;
using align_model::FeatureManager;
using align_model::Pose;

// A candidate with the given pose; the legs do not matter to the manager.
std::shared_ptr<Feature> candidate(float x, float y, float theta, float angle_error)
{
  auto feature = std::make_shared<Feature>(tuw::LineSegment2D(), tuw::LineSegment2D(), angle_error);
  feature->pose_ = std::make_shared<Pose>(Pose{x, y, theta});
  return feature;
}

// One scan: candidates in, chosen (and smoothed) pose out.
std::shared_ptr<Pose> run_scan(FeatureManager & manager, const std::vector<std::shared_ptr<Feature>> & features)
{
  for (const auto & feature : features) {
    manager.add_feature(feature);
  }
  auto pose = manager.evaluate().get_pose();
  manager.next_frame();
  return pose;
}

void expect_no_nan(const std::vector<float> & scores)
{
  for (const float score : scores) {
    EXPECT_FALSE(std::isnan(score));
  }
}

TEST(FeatureManagerSetup, HistoryStartsWithEmptyEntries)
{
  FeatureManager manager(1.0, 1.0, 1.0, 5);
  ASSERT_EQ(manager.history().size(), 5u);
  for (const auto & entry : manager.history()) {
    EXPECT_FALSE(entry);
  }
  EXPECT_TRUE(manager.scores().empty());
}

TEST(FeatureManagerSetup, HistoryShorterThanOneIsRefused)
{
  for (const int times : {0, -1}) {
    try {
      FeatureManager manager(1.0, 1.0, 1.0, times);
      FAIL() << "accepted times = " << times;
    } catch (const std::invalid_argument & error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("times"), std::string::npos) << message;
      EXPECT_NE(message.find(std::to_string(times)), std::string::npos) << message;
    }
  }
}

TEST(FeatureManagerScan, NoCandidateRecordsEmptyChoice)
{
  FeatureManager manager(1.0, 1.0, 1.0, 2);
  run_scan(manager, {candidate(1.0f, 0.0f, 0.0f, 0.1f)});
  EXPECT_FALSE(run_scan(manager, {}));
  ASSERT_EQ(manager.history().size(), 2u);
  EXPECT_TRUE(manager.history().front());
  EXPECT_FALSE(manager.history().back());
}

TEST(FeatureManagerScan, FeaturesWithoutPoseAreNotKept)
{
  FeatureManager manager(1.0, 1.0, 1.0, 1);
  manager.add_feature(nullptr);
  manager.add_feature(std::make_shared<Feature>(tuw::LineSegment2D(), tuw::LineSegment2D(), 0.1f));
  EXPECT_TRUE(manager.features().empty());
  EXPECT_FALSE(manager.evaluate().get_pose());
}

TEST(FeatureManagerScan, SingleCandidateChosenWithoutScoring)
{
  FeatureManager manager(1.0, 1.0, 0.0, 5);
  // The first scan leaves a score at position 0; a single candidate keeps it.
  run_scan(manager, {candidate(-1.0f, 0.0f, 0.0f, 0.1f), candidate(1.0f, 0.0f, 0.0f, 0.1f)});
  const float carried = manager.scores()[0];
  const auto pose = run_scan(manager, {candidate(2.0f, 3.0f, 0.5f, 0.1f)});
  ASSERT_TRUE(pose);
  EXPECT_EQ(pose->x, 2.0f);
  EXPECT_EQ(pose->y, 3.0f);
  EXPECT_EQ(pose->theta, 0.5f);
  ASSERT_EQ(manager.scores().size(), 1u);
  EXPECT_EQ(manager.scores()[0], carried);
}

TEST(FeatureManagerScan, ScoresCarryOverByPosition)
{
  // Direction only, weight 0.3: values 1 and 1 - ln 5 give shares 0.25 and
  // 0.05; values 0 and ln 2 give shares 0.1 and 0.2.
  FeatureManager manager(0.0, 0.3, 0.0, 5);
  const float second_value = 1.0f - std::log(5.0f);
  const float second_y = std::sqrt(1.0f - second_value * second_value);
  run_scan(manager, {candidate(-1.0f, 0.0f, 0.0f, 0.1f), candidate(-second_value, second_y, 0.0f, 0.1f)});
  ASSERT_EQ(manager.scores().size(), 2u);
  EXPECT_NEAR(manager.scores()[0], 0.25f, 1e-5f);
  EXPECT_NEAR(manager.scores()[1], 0.05f, 1e-5f);

  const float ln2 = std::log(2.0f);
  const auto pose = run_scan(manager,
      {candidate(0.0f, 1.0f, 0.0f, 0.1f), candidate(-ln2, std::sqrt(1.0f - ln2 * ln2), 0.0f, 0.1f)});
  EXPECT_NEAR(manager.scores()[0], 0.35f, 1e-5f);
  EXPECT_NEAR(manager.scores()[1], 0.25f, 1e-5f);
  ASSERT_TRUE(pose);
  EXPECT_EQ(pose->x, 0.0f);
}

TEST(FeatureManagerScan, TinyWeightsSwitchCriteriaOff)
{
  FeatureManager manager(1e-5, 1e-5, 1e-5, 5);
  for (int scan = 0; scan < 3; ++scan) {
    const auto pose = run_scan(manager,
        {candidate(5.0f, 0.0f, 0.0f, 1.0f), candidate(-1.0f, 0.0f, 0.0f, 0.001f)});
    ASSERT_TRUE(pose);
    EXPECT_EQ(pose->x, 5.0f);
  }
  EXPECT_EQ(manager.scores(), (std::vector<float>{0.0f, 0.0f}));

  // Just above the limit the angle match decides.
  FeatureManager enabled(1.1e-5, 0.0, 0.0, 5);
  const auto pose = run_scan(enabled, {candidate(5.0f, 0.0f, 0.0f, 1.0f), candidate(-1.0f, 0.0f, 0.0f, 0.001f)});
  EXPECT_EQ(pose->x, -1.0f);
}

TEST(FeatureManagerScan, EqualScoresChooseEarliest)
{
  FeatureManager manager(1.0, 0.0, 0.0, 5);
  const auto pose = run_scan(manager,
      {candidate(1.0f, 0.0f, 0.0f, 0.2f), candidate(2.0f, 0.0f, 0.0f, 0.2f)});
  EXPECT_EQ(pose->x, 1.0f);
}

TEST(FeatureManagerScan, NearnessToPreviousChoice)
{
  FeatureManager manager(0.0, 0.0, 1.0, 5);
  run_scan(manager, {candidate(1.0f, 1.0f, 0.0f, 0.1f)});
  const auto pose = run_scan(manager,
      {candidate(3.0f, 1.0f, 0.0f, 0.1f), candidate(1.1f, 1.0f, 0.0f, 0.1f)});
  EXPECT_EQ(pose->x, 1.1f);
  // After a scan without a choice the criterion does not run.
  run_scan(manager, {});
  const std::vector<float> before = manager.scores();
  run_scan(manager, {candidate(3.0f, 1.0f, 0.0f, 0.1f), candidate(1.1f, 1.0f, 0.0f, 0.1f)});
  EXPECT_EQ(manager.scores(), before);
}

// Faults that would otherwise leave NaN in the carried scores for good.
TEST(FeatureManagerFaults, InfiniteValuesShareTheWeight)
{
  FeatureManager manager(1.0, 0.0, 0.0, 5);
  run_scan(manager, {candidate(1.0f, 0.0f, 0.0f, 0.1f), candidate(2.0f, 0.0f, 0.0f, 0.0f)});
  expect_no_nan(manager.scores());
  EXPECT_EQ(manager.scores(), (std::vector<float>{0.0f, 1.0f}));

  FeatureManager two(1.0, 0.0, 0.0, 5);
  run_scan(two, {candidate(1.0f, 0.0f, 0.0f, 0.0f), candidate(2.0f, 0.0f, 0.0f, 0.1f),
      candidate(3.0f, 0.0f, 0.0f, 0.0f)});
  EXPECT_EQ(two.scores(), (std::vector<float>{0.5f, 0.0f, 0.5f}));
}

TEST(FeatureManagerFaults, CandidateOnPreviousChoice)
{
  FeatureManager manager(0.0, 0.0, 1.0, 5);
  run_scan(manager, {candidate(1.0f, 1.0f, 0.0f, 0.1f)});
  const auto pose = run_scan(manager, {candidate(1.5f, 1.0f, 0.0f, 0.1f), candidate(1.0f, 1.0f, 0.0f, 0.1f)});
  expect_no_nan(manager.scores());
  EXPECT_EQ(manager.scores(), (std::vector<float>{0.0f, 1.0f}));
  EXPECT_EQ(pose->x, 1.0f);
}

TEST(FeatureManagerFaults, AllTermsUnderflowing)
{
  // 1 / -0.003 and 1 / -0.004: about -333 and -250, far below expf's range.
  FeatureManager manager(1.0, 0.0, 0.0, 5);
  const auto pose = run_scan(manager,
      {candidate(1.0f, 0.0f, 0.0f, -0.003f), candidate(2.0f, 0.0f, 0.0f, -0.004f)});
  expect_no_nan(manager.scores());
  EXPECT_NEAR(manager.scores()[0] + manager.scores()[1], 1.0f, 1e-6f);
  EXPECT_GT(manager.scores()[1], manager.scores()[0]);
  EXPECT_EQ(pose->x, 2.0f);
}

TEST(SoftmaxShares, UsualFormShiftsByZeroAtLeast)
{
  // Values below zero are shifted by 0, not by their maximum: shares still sum
  // to the weight.
  std::vector<float> scores{0.0f, 0.0f};
  align_model::add_softmax_shares({-1.0f, -2.0f}, 2.0f, scores);
  const float e1 = std::exp(-1.0f);
  const float e2 = std::exp(-2.0f);
  const float sum = 0.0f + e1 + e2;
  EXPECT_EQ(scores[0], 2.0f * e1 / sum);
  EXPECT_EQ(scores[1], 2.0f * e2 / sum);
}

TEST(SoftmaxShares, ShiftOfZeroKeptForFarNegativeValues)
{
  // Shifted by 0 these terms are subnormal floats and the shares lose
  // precision; the scoring keeps that form as long as the sum is not 0.
  std::vector<float> scores{0.0f, 0.0f};
  align_model::add_softmax_shares({-90.0f, -100.0f}, 1.0f, scores);
  const float e1 = std::exp(-90.0f);
  const float e2 = std::exp(-100.0f);
  const float sum = 0.0f + e1 + e2;
  EXPECT_EQ(scores[0], 1.0f * e1 / sum);
  EXPECT_EQ(scores[1], 1.0f * e2 / sum);
  EXPECT_NE(scores[1], 1.0f * std::exp(-10.0f) / (1.0f + std::exp(-10.0f)));
}

TEST(SoftmaxShares, PartialUnderflowKeepsUsualForm)
{
  std::vector<float> scores{0.0f, 0.0f};
  align_model::add_softmax_shares({-200.0f, 0.5f}, 1.0f, scores);
  EXPECT_EQ(scores[0], 0.0f);
  EXPECT_EQ(scores[1], 1.0f);
}

TEST(SoftmaxShares, NaNValuesTakeNoShare)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<float> scores{0.0f, 0.0f};
  align_model::add_softmax_shares({nan, 0.5f}, 1.0f, scores);
  EXPECT_EQ(scores, (std::vector<float>{0.0f, 1.0f}));
  align_model::add_softmax_shares({nan, nan}, 1.0f, scores);
  EXPECT_EQ(scores, (std::vector<float>{0.0f, 1.0f}));
}

TEST(FeatureManagerSmoothing, RawPoseUntilHistoryIsFull)
{
  FeatureManager manager(0.0, 0.0, 0.0, 2);
  EXPECT_EQ(run_scan(manager, {candidate(1.0f, 1.0f, 0.1f, 0.1f)})->x, 1.0f);
  EXPECT_EQ(run_scan(manager, {candidate(3.0f, 3.0f, 0.1f, 0.1f)})->x, 3.0f);
  // Three choices in a row (times + 1): now averaged where not monotonic.
  const auto pose = run_scan(manager, {candidate(2.0f, 2.0f, 0.1f, 0.1f)});
  EXPECT_EQ(pose->x, 2.0f);
  EXPECT_EQ(pose->y, 2.0f);
}

TEST(FeatureManagerSmoothing, MonotonicComponentStaysUnsmoothed)
{
  FeatureManager manager(0.0, 0.0, 0.0, 2);
  run_scan(manager, {candidate(1.0f, 1.0f, 0.5f, 0.1f)});
  run_scan(manager, {candidate(2.0f, 4.0f, 0.5f, 0.1f)});
  const auto pose = run_scan(manager, {candidate(3.0f, 2.5f, 0.5f, 0.1f)});
  ASSERT_TRUE(pose);
  // x rises through the window; theta never rises (counts as falling).
  EXPECT_EQ(pose->x, 3.0f);
  EXPECT_EQ(pose->theta, 0.5f);
  EXPECT_EQ(pose->y, (1.0f + 4.0f + 2.5f) / 3.0f);

  // Falling x stays unsmoothed as well.
  const auto falling = run_scan(manager, {candidate(0.5f, 2.5f, 0.5f, 0.1f)});
  EXPECT_EQ(falling->x, (2.0f + 3.0f + 0.5f) / 3.0f);
}

TEST(FeatureManagerSmoothing, HistoryKeepsRawChoices)
{
  FeatureManager manager(0.0, 0.0, 0.0, 2);
  run_scan(manager, {candidate(1.0f, 1.0f, 0.0f, 0.1f)});
  run_scan(manager, {candidate(1.0f, 4.0f, 0.0f, 0.1f)});
  manager.add_feature(candidate(1.0f, 1.0f, 0.0f, 0.1f));
  const auto pose = manager.evaluate().get_pose();
  EXPECT_EQ(pose->y, 2.0f);
  EXPECT_EQ(manager.history().back()->y, 1.0f);
  manager.next_frame();
  EXPECT_TRUE(manager.features().empty());
  EXPECT_EQ(manager.history().size(), 2u);
}

TEST(FeatureManagerSmoothing, EmptyChoiceBlocksSmoothingUntilItLeaves)
{
  FeatureManager manager(0.0, 0.0, 0.0, 1);
  run_scan(manager, {});
  EXPECT_EQ(run_scan(manager, {candidate(1.0f, 1.0f, 0.0f, 0.1f)})->y, 1.0f);
  EXPECT_EQ(run_scan(manager, {candidate(1.0f, 2.0f, 0.0f, 0.1f)})->x, 1.0f);
}

TEST(NearSuccess, RateOverLastTwelveScans)
{
  align_model::NearSuccess record;
  EXPECT_DOUBLE_EQ(record.record(true), 1.0);
  EXPECT_NEAR(record.record(false), 0.917, 5e-4);
  EXPECT_EQ(record.near_success_count_, 11);
  for (int scan = 0; scan < 10; ++scan) {
    EXPECT_NEAR(record.record(true), 11.0 / 12.0, 1e-12);
  }
  EXPECT_EQ(record.near_success_index_, 0);
  EXPECT_NEAR(record.record(true), 11.0 / 12.0, 1e-12);
  // The failure is overwritten at the twelfth scan after it.
  EXPECT_DOUBLE_EQ(record.record(true), 1.0);
  for (int scan = 0; scan < 12; ++scan) {
    record.record(false);
  }
  EXPECT_EQ(record.near_success_count_, 0);
  EXPECT_DOUBLE_EQ(record.record(false), 0.0);
}

}  // namespace
