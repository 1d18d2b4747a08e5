#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "align_model_node/align_parameter.hpp"
#include "rcutils/logging.h"
#include "support/node_harness.hpp"

namespace
{

class AlignParameterTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (!rclcpp::ok()) {
      rclcpp::init(0, nullptr);
    }
  }

  static std::shared_ptr<rclcpp::Node> make_node(const std::vector<rclcpp::Parameter> & overrides = {})
  {
    rclcpp::NodeOptions options;
    options.parameter_overrides(overrides);
    return std::make_shared<rclcpp::Node>("align_parameter_test", options);
  }
};

TEST_F(AlignParameterTest, CopiesTheDeclaredDefaultsAtConstruction)
{
  auto node = make_node();
  align_node::AlignParameter holder(node.get());

  EXPECT_TRUE(holder.detector_parameter.threshold_split_neighbor);
  EXPECT_DOUBLE_EQ(holder.detector_parameter.threshold_split, 0.01);
  EXPECT_DOUBLE_EQ(holder.detector_parameter.min_length, 0.05);
  EXPECT_EQ(holder.detector_parameter.min_points_per_line, 5);
  EXPECT_EQ(holder.detector_parameter.min_points_per_unit, 5);
  EXPECT_DOUBLE_EQ(holder.laser_to_base_x, -0.102);
  EXPECT_DOUBLE_EQ(holder.laser_to_base_y, 0.0);
  EXPECT_DOUBLE_EQ(holder.laser_to_base_th, 3.14);
  EXPECT_EQ(holder.base_frame_id, "base_footprint");
  EXPECT_DOUBLE_EQ(holder.min_intensity, 250.0);
  EXPECT_DOUBLE_EQ(holder.max_intensity, 255.0);
  EXPECT_DOUBLE_EQ(holder.min_range, 0.01);
  EXPECT_DOUBLE_EQ(holder.max_range, 2.0);
  EXPECT_DOUBLE_EQ(holder.points_max_distance, 0.03);
  EXPECT_DOUBLE_EQ(holder.min_line_len, 0.1);
  EXPECT_DOUBLE_EQ(holder.max_line_len, 0.07);
  EXPECT_DOUBLE_EQ(holder.target_angle, 1.047);
  EXPECT_DOUBLE_EQ(holder.angle_error, 0.2);
  EXPECT_EQ(holder.angle_type, 1);
  EXPECT_FALSE(holder.anti_pose_angle);
}

// Every holder parameter explains itself to `ros2 param describe`; the
// placeholder ".." that threshold_split_neighbor once carried is gone.
TEST_F(AlignParameterTest, DeclaresEveryParameterWithADescription)
{
  auto node = make_node();
  align_node::AlignParameter holder(node.get());

  const char * const names[] = {
    "threshold_split_neighbor", "threshold_split", "min_length", "min_points_per_line",
    "min_points_per_unit", "laser_to_base_x", "laser_to_base_y", "laser_to_base_th", "base_frame_id",
    "min_intensity", "max_intensity", "min_range", "max_range", "points_max_distance", "min_line_len",
    "max_line_len", "target_angle", "angle_error", "angle_type", "anti_pose_angle"};
  for (const char * name : names) {
    const std::string description = node->describe_parameter(name).description;
    EXPECT_GT(description.size(), 10u) << name << ": '" << description << "'";
  }
  EXPECT_NE(node->describe_parameter("threshold_split_neighbor").description, "..");
}

TEST_F(AlignParameterTest, OverridesReachTheMembersAtConstruction)
{
  auto node = make_node(
    {{"min_points_per_line", 12}, {"angle_type", -1}, {"threshold_split_neighbor", false},
      {"base_frame_id", "odom"}, {"target_angle", 2.094}});
  align_node::AlignParameter holder(node.get());

  EXPECT_EQ(holder.detector_parameter.min_points_per_line, 12);
  EXPECT_FALSE(holder.detector_parameter.threshold_split_neighbor);
  EXPECT_EQ(holder.angle_type, -1);
  EXPECT_EQ(holder.base_frame_id, "odom");
  EXPECT_DOUBLE_EQ(holder.target_angle, 2.094);
}

TEST_F(AlignParameterTest, UpdateCopiesValuesSetAfterConstruction)
{
  auto node = make_node();
  align_node::AlignParameter holder(node.get());

  ASSERT_TRUE(node->set_parameter({"min_points_per_unit", 9}).successful);
  ASSERT_TRUE(node->set_parameter({"max_range", 3.5}).successful);
  ASSERT_TRUE(node->set_parameter({"anti_pose_angle", true}).successful);
  // Values only move into the holder on a refresh.
  EXPECT_EQ(holder.detector_parameter.min_points_per_unit, 5);
  EXPECT_DOUBLE_EQ(holder.max_range, 2.0);

  holder.update_parameters();
  EXPECT_EQ(holder.detector_parameter.min_points_per_unit, 9);
  EXPECT_DOUBLE_EQ(holder.max_range, 3.5);
  EXPECT_TRUE(holder.anti_pose_angle);
}

TEST_F(AlignParameterTest, RejectedWrongTypedSetKeepsTheOldValue)
{
  auto node = make_node();
  align_node::AlignParameter holder(node.get());

  EXPECT_FALSE(node->set_parameter({"target_angle", 2}).successful);
  holder.update_parameters();
  EXPECT_DOUBLE_EQ(holder.target_angle, 1.047);
}

TEST_F(AlignParameterTest, WrongTypedOverridesThrowAtConstruction)
{
  {
    auto node = make_node({{"max_range", 2}});
    EXPECT_THROW(align_node::AlignParameter holder(node.get()), rclcpp::exceptions::InvalidParameterTypeException);
  }
  {
    auto node = make_node({{"min_points_per_line", 5.0}});
    EXPECT_THROW(align_node::AlignParameter holder(node.get()), rclcpp::exceptions::InvalidParameterTypeException);
  }
  {
    auto node = make_node({{"anti_pose_angle", "yes"}});
    EXPECT_THROW(align_node::AlignParameter holder(node.get()), rclcpp::exceptions::InvalidParameterTypeException);
  }
}

// 2^32 + 5 would wrap to 5 and 2^32 + 100000 to 100000 in a 32-bit member.
constexpr std::int64_t kWrapsToFive = 4294967301;
constexpr std::int64_t kWrapsToALot = 4295067296;
constexpr std::int64_t kBelowInt32 = -2147483649;

TEST_F(AlignParameterTest, IntegersOutside32BitsAreRefusedAtConstruction)
{
  for (const char * name : {"min_points_per_line", "min_points_per_unit", "angle_type"}) {
    for (const std::int64_t value : {kWrapsToFive, kBelowInt32}) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(value));
      auto node = make_node({{name, value}});
      try {
        align_node::AlignParameter holder(node.get());
        ADD_FAILURE() << "accepted";
      } catch (const std::out_of_range & error) {
        EXPECT_EQ(
          std::string(error.what()),
          "parameter '" + std::string(name) + "' does not fit a 32-bit integer: " + std::to_string(value));
      }
    }
  }
  // The 32-bit limits themselves are values like any other.
  auto node = make_node({{"min_points_per_line", INT64_C(2147483647)}, {"angle_type", INT64_C(-2147483648)}});
  align_node::AlignParameter holder(node.get());
  EXPECT_EQ(holder.detector_parameter.min_points_per_line, 2147483647);
  EXPECT_EQ(holder.angle_type, -2147483647 - 1);
}

TEST_F(AlignParameterTest, RefreshKeepsTheLastGoodIntegerWhenOutside32Bits)
{
  auto node = make_node();
  align_node::AlignParameter holder(node.get());
  align_test::LogCapture log;
  const std::string error_line =
    "parameter 'min_points_per_line' does not fit a 32-bit integer: 4295067296; keeping 9";

  ASSERT_TRUE(node->set_parameter({"min_points_per_line", 9}).successful);
  holder.update_parameters();
  EXPECT_EQ(holder.detector_parameter.min_points_per_line, 9);

  ASSERT_TRUE(node->set_parameter({"min_points_per_line", kWrapsToALot}).successful);
  ASSERT_TRUE(node->set_parameter({"max_range", 3.5}).successful);
  holder.update_parameters();
  EXPECT_EQ(holder.detector_parameter.min_points_per_line, 9);
  EXPECT_DOUBLE_EQ(holder.max_range, 3.5);  // the other parameters still follow
  EXPECT_EQ(log.count(error_line, RCUTILS_LOG_SEVERITY_ERROR), 1u);
  EXPECT_EQ(log.records().size(), 1u);
  EXPECT_EQ(log.records().front().logger, "align_parameter_test");

  // Left in place, the value is reported once, not at every refresh.
  holder.update_parameters();
  EXPECT_EQ(holder.detector_parameter.min_points_per_line, 9);
  EXPECT_EQ(log.records().size(), 1u);

  ASSERT_TRUE(node->set_parameter({"angle_type", kBelowInt32}).successful);
  holder.update_parameters();
  EXPECT_EQ(holder.angle_type, 1);
  EXPECT_EQ(
    log.count(
      "parameter 'angle_type' does not fit a 32-bit integer: -2147483649; keeping 1", RCUTILS_LOG_SEVERITY_ERROR),
    1u);

  // A good value is taken again; a bad one after it is reported again.
  ASSERT_TRUE(node->set_parameter({"min_points_per_line", 7}).successful);
  holder.update_parameters();
  EXPECT_EQ(holder.detector_parameter.min_points_per_line, 7);
  ASSERT_TRUE(node->set_parameter({"min_points_per_line", kWrapsToFive}).successful);
  holder.update_parameters();
  EXPECT_EQ(holder.detector_parameter.min_points_per_line, 7);
  EXPECT_EQ(
    log.count(
      "parameter 'min_points_per_line' does not fit a 32-bit integer: 4294967301; keeping 7",
      RCUTILS_LOG_SEVERITY_ERROR),
    1u);
}

}  // namespace
