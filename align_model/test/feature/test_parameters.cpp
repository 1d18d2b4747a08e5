#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::FeatureNode;

std::string thrown_text(const std::function<void()> & action)
{
  try {
    action();
  } catch (const std::exception & error) {
    return error.what();
  }
  return "";
}

TEST(FeatureNodeParameters, DeclaresAllParametersWithTheirDefaultsAndTypes)
{
  align_test::NodeHarness harness;
  auto node = harness.start<FeatureNode>();
  const std::vector<std::pair<std::string, rclcpp::ParameterValue>> expected = {
    {"min_angle", rclcpp::ParameterValue(-3.14)},
    {"max_angle", rclcpp::ParameterValue(3.14)},
    {"min_intensity", rclcpp::ParameterValue(250.0)},
    {"max_intensity", rclcpp::ParameterValue(255.0)},
    {"min_range", rclcpp::ParameterValue(0.01)},
    {"max_range", rclcpp::ParameterValue(2.0)},
    {"threshold_split_neighbor", rclcpp::ParameterValue(true)},
    {"threshold_split", rclcpp::ParameterValue(0.01)},
    {"min_length", rclcpp::ParameterValue(0.05)},
    {"min_points_per_line", rclcpp::ParameterValue(5)},
    {"min_points_per_unit", rclcpp::ParameterValue(5)},
    {"points_max_distance", rclcpp::ParameterValue(0.03)},
    {"min_line_len", rclcpp::ParameterValue(0.1)},
    {"max_line_len", rclcpp::ParameterValue(0.07)},
    {"target_angle", rclcpp::ParameterValue(1.047)},
    {"angle_error", rclcpp::ParameterValue(0.2)},
    {"angle_type", rclcpp::ParameterValue(0)},
    {"anti_pose_angle", rclcpp::ParameterValue(false)},
    {"weights_angle_error", rclcpp::ParameterValue(0.1)},
    {"weights_distance_anti_x", rclcpp::ParameterValue(0.1)},
    {"weights_distance_last_f", rclcpp::ParameterValue(0.1)},
    {"times", rclcpp::ParameterValue(5)},
    {"enable_topic", rclcpp::ParameterValue("align_enable")},
    {"scan_topic", rclcpp::ParameterValue("back_scan")},
    {"publish_frame", rclcpp::ParameterValue("base_footprint")},
    {"pose_stamped_topic", rclcpp::ParameterValue("docking_pose")},
    {"debug", rclcpp::ParameterValue(false)},
  };
  ASSERT_EQ(expected.size(), 27u);
  for (const auto & [name, value] : expected) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(node->has_parameter(name));
    const rclcpp::Parameter actual = node->get_parameter(name);
    EXPECT_EQ(actual.get_type(), value.get_type());
    EXPECT_EQ(actual.get_parameter_value(), value);
  }
}

TEST(FeatureNodeParameters, DetectorTakesTheNodeParametersNotItsLibraryDefaults)
{
  align_test::NodeHarness harness;
  auto defaults = harness.start<FeatureNode>();
  const auto & configuration = defaults->detector_configuration();
  EXPECT_TRUE(configuration.threshold_split_neighbor);
  EXPECT_DOUBLE_EQ(configuration.threshold_split, 0.01);
  EXPECT_DOUBLE_EQ(configuration.min_length, 0.05);
  EXPECT_EQ(configuration.min_points_per_line, 5);
  EXPECT_EQ(configuration.min_points_per_unit, 5);
}

TEST(FeatureNodeParameters, OverridesReachTheDetector)
{
  align_test::NodeHarness harness;
  auto node = harness.start<FeatureNode>(
    {{"threshold_split_neighbor", false}, {"threshold_split", 0.02}, {"min_length", 0.07},
      {"min_points_per_line", 9}, {"min_points_per_unit", 11}});
  const auto & configuration = node->detector_configuration();
  EXPECT_FALSE(configuration.threshold_split_neighbor);
  EXPECT_DOUBLE_EQ(configuration.threshold_split, 0.02);
  EXPECT_DOUBLE_EQ(configuration.min_length, 0.07);
  EXPECT_EQ(configuration.min_points_per_line, 9);
  EXPECT_EQ(configuration.min_points_per_unit, 11);
}

TEST(FeatureNodeParameters, ANegativeSplitThresholdReachesTheDetectorAsZero)
{
  // tuw_geometry's own detector would recurse without end on a negative one.
  align_test::NodeHarness harness;
  auto node = harness.start<FeatureNode>({{"threshold_split", -0.5}});
  EXPECT_EQ(node->detector_configuration().threshold_split, 0.0);
  EXPECT_EQ(node->get_parameter("threshold_split").as_double(), -0.5);
}

TEST(FeatureNodeParameters, WrongTypedOverridesAreRejectedNamingTheParameter)
{
  align_test::NodeHarness harness;
  EXPECT_THROW(harness.start<FeatureNode>({{"max_range", 2}}), rclcpp::exceptions::InvalidParameterTypeException);
  EXPECT_NE(thrown_text([&] {harness.start<FeatureNode>({{"max_range", 2}});}).find("max_range"), std::string::npos);
  EXPECT_THROW(harness.start<FeatureNode>({{"times", 5.0}}), rclcpp::exceptions::InvalidParameterTypeException);
  EXPECT_THROW(harness.start<FeatureNode>({{"debug", "yes"}}), rclcpp::exceptions::InvalidParameterTypeException);
}

TEST(FeatureNodeParameters, HistoryLengthBelowOneIsRejectedWithItsValue)
{
  align_test::NodeHarness harness;
  for (const int times : {0, -1}) {
    SCOPED_TRACE(times);
    EXPECT_THROW(harness.start<FeatureNode>({{"times", times}}), std::invalid_argument);
    const std::string text = thrown_text([&] {harness.start<FeatureNode>({{"times", times}});});
    EXPECT_NE(text.find("times"), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(times)), std::string::npos) << text;
  }
  EXPECT_NO_THROW(harness.start<FeatureNode>({{"times", 1}}));
}

TEST(FeatureNodeParameters, IntegersBeyondThirtyTwoBitsAreRejected)
{
  align_test::NodeHarness harness;
  const std::string text = thrown_text(
    [&] {harness.start<FeatureNode>({{"min_points_per_line", static_cast<int64_t>(5000000000)}});});
  EXPECT_NE(text.find("min_points_per_line"), std::string::npos) << text;
  EXPECT_NE(text.find("5000000000"), std::string::npos) << text;
}

TEST(FeatureNodeParameters, UnusedHeadingParametersAcceptAnyValueOfTheirType)
{
  align_test::NodeHarness harness;
  auto node = harness.start<FeatureNode>({{"angle_type", -3}, {"anti_pose_angle", true}});
  EXPECT_EQ(node->get_parameter("angle_type").as_int(), -3);
  EXPECT_TRUE(node->get_parameter("anti_pose_angle").as_bool());
}

}  // namespace
