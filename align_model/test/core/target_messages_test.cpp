#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/angles.hpp"
#include "align_model/target_messages.hpp"

namespace
{

using visualization_msgs::msg::Marker;

builtin_interfaces::msg::Time stamp()
{
  builtin_interfaces::msg::Time time;
  time.sec = 1700000000;
  time.nanosec = 250;
  return time;
}

void expect_identity(const geometry_msgs::msg::Quaternion & q)
{
  EXPECT_EQ(q.x, 0.0);
  EXPECT_EQ(q.y, 0.0);
  EXPECT_EQ(q.z, 0.0);
  EXPECT_EQ(q.w, 1.0);
}

void expect_target_look(const Marker & marker)
{
  EXPECT_EQ(marker.header.frame_id, "base_footprint");
  EXPECT_EQ(marker.header.stamp, stamp());
  EXPECT_EQ(marker.ns, "align_visible");
  EXPECT_EQ(marker.id, 0);
  EXPECT_EQ(marker.type, 0);
  EXPECT_EQ(marker.action, 0);
  EXPECT_EQ(marker.scale.x, 0.25);
  EXPECT_EQ(marker.scale.y, 0.01);
  EXPECT_EQ(marker.scale.z, 0.01);
  EXPECT_EQ(marker.color.r, 0.9607843f);
  EXPECT_EQ(marker.color.g, 0.23921569f);
  EXPECT_EQ(marker.color.b, 0.0f);
  EXPECT_EQ(marker.color.a, 1.0f);
  EXPECT_TRUE(marker.points.empty());
  EXPECT_EQ(marker.lifetime.sec, 0);
  EXPECT_EQ(marker.lifetime.nanosec, 0u);
}

TEST(TargetPoseMessage, HeadingTravelsInPositionZ)
{
  // The feature program widens its float heading.
  const double heading = static_cast<float>(align_model::kHalfPi);
  const auto message = align_model::make_target_pose("base_footprint", stamp(), 1.25, -0.5, heading);
  EXPECT_EQ(message.header.frame_id, "base_footprint");
  EXPECT_EQ(message.header.stamp, stamp());
  EXPECT_EQ(message.pose.position.x, 1.25);
  EXPECT_EQ(message.pose.position.y, -0.5);
  EXPECT_NEAR(message.pose.position.z, 1.5708, 1e-4);
  EXPECT_EQ(message.pose.position.z, heading);
  expect_identity(message.pose.orientation);
}

TEST(TargetMarker, ArrowAtTargetAlongHeading)
{
  const auto marker = align_model::make_target_marker("base_footprint", stamp(), 2.0, 1.0,
      align_model::kHalfPi);
  expect_target_look(marker);
  EXPECT_EQ(marker.pose.position.x, 2.0);
  EXPECT_EQ(marker.pose.position.y, 1.0);
  EXPECT_EQ(marker.pose.position.z, 0.0);
  EXPECT_EQ(marker.pose.orientation.x, 0.0);
  EXPECT_EQ(marker.pose.orientation.y, 0.0);
  EXPECT_NEAR(marker.pose.orientation.z, 0.7071, 1e-4);
  EXPECT_NEAR(marker.pose.orientation.w, 0.7071, 1e-4);
  EXPECT_EQ(marker.pose.orientation.z, std::sin(align_model::kHalfPi / 2.0));
}

TEST(TargetMarker, WithoutTargetSitsAtOrigin)
{
  const auto marker = align_model::make_target_marker("base_footprint", stamp());
  expect_target_look(marker);
  EXPECT_EQ(marker.pose.position.x, 0.0);
  EXPECT_EQ(marker.pose.position.y, 0.0);
  EXPECT_EQ(marker.pose.position.z, 0.0);
  expect_identity(marker.pose.orientation);
}

TEST(SegmentMarker, LineListOfAllSegments)
{
  const std::vector<tuw::LineSegment2D> segments{tuw::LineSegment2D(1.0, 2.0, 3.0, 4.0),
    tuw::LineSegment2D(-1.0, -2.0, -3.0, -4.0)};
  const auto marker = align_model::make_segment_marker("odom", stamp(), segments);
  EXPECT_EQ(marker.header.frame_id, "odom");
  EXPECT_EQ(marker.header.stamp, stamp());
  EXPECT_EQ(marker.ns, "align_visible");
  EXPECT_EQ(marker.id, 1);
  EXPECT_EQ(marker.type, 5);
  EXPECT_EQ(marker.action, 0);
  EXPECT_EQ(marker.scale.x, 0.02);
  EXPECT_EQ(marker.scale.y, 0.0);
  EXPECT_EQ(marker.scale.z, 0.0);
  EXPECT_EQ(marker.color.r, 0.72156864f);
  EXPECT_EQ(marker.color.g, 0.9607843f);
  EXPECT_EQ(marker.color.b, 0.0f);
  EXPECT_EQ(marker.color.a, 1.0f);
  EXPECT_EQ(marker.pose.position.x, 0.0);
  expect_identity(marker.pose.orientation);
  const std::vector<double> expected{1.0, 2.0, 3.0, 4.0, -1.0, -2.0, -3.0, -4.0};
  ASSERT_EQ(marker.points.size(), 4u);
  for (std::size_t k = 0; k < marker.points.size(); ++k) {
    EXPECT_EQ(marker.points[k].x, expected[2 * k]);
    EXPECT_EQ(marker.points[k].y, expected[2 * k + 1]);
    EXPECT_EQ(marker.points[k].z, 0.0);
  }
}

TEST(SegmentMarker, EmptyListHasNoPoints)
{
  const auto marker = align_model::make_segment_marker("odom", stamp(), {});
  EXPECT_TRUE(marker.points.empty());
  EXPECT_EQ(marker.id, 1);
}

}  // namespace
