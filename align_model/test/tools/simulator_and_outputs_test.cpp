// The scan simulator, the JSON and SVG writers and the replay summary.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>

#include "align_tools/ground_truth.hpp"
#include "align_tools/json_writer.hpp"
#include "align_tools/replay_summary.hpp"
#include "align_tools/scan_simulator.hpp"
#include "align_tools/svg_plot.hpp"

namespace
{

constexpr double kPi = 3.141592653589793;

align_tools::SimulationConfig quiet_config()
{
  align_tools::SimulationConfig config;
  config.scanner.range_noise = 0.0;
  config.target.intensity_jitter = 0.0f;
  return config;
}

builtin_interfaces::msg::Time stamp_zero()
{
  return builtin_interfaces::msg::Time();
}

std::size_t count_substring(const std::string & text, const std::string & part)
{
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace

TEST(ScanSimulator, BeamThroughTheCornerHitsItAtTheExactRange)
{
  auto config = quiet_config();
  // A beam at angle 0: angle_min 0, one reading.
  config.scanner.angle_min = 0.0f;
  config.scanner.count = 1;
  align_tools::ScanSimulator simulator(config);
  const auto scan = simulator.render({1.25, 0.0, kPi}, stamp_zero());
  ASSERT_EQ(scan.ranges.size(), 1u);
  EXPECT_NEAR(scan.ranges[0], 1.25f, 1e-6);
  EXPECT_EQ(scan.intensities[0], config.target.plate_intensity);
  EXPECT_EQ(scan.header.frame_id, "back_laser");
}

TEST(ScanSimulator, PlatesAreBrightAndWallsDimOutsideTheTargetNothingIsHit)
{
  auto config = quiet_config();
  config.extras.walls = true;
  align_tools::ScanSimulator simulator(config);
  const auto scan = simulator.render({1.5, 0.0, kPi}, stamp_zero());
  ASSERT_EQ(scan.ranges.size(), 541u);
  EXPECT_EQ(scan.angle_max, scan.angle_min + 540.0f * scan.angle_increment);
  std::size_t bright = 0, dim = 0;
  for (std::size_t i = 0; i < scan.ranges.size(); ++i) {
    if (scan.intensities[i] > 250.0f) {
      ++bright;
      // Plates lie between the corner (1.5 m) and their near ends.
      EXPECT_LE(scan.ranges[i], 1.5f + 1e-4f);
      EXPECT_GE(scan.ranges[i], 1.5f - 0.3f * 0.5f - 1e-3f);
    } else if (scan.intensities[i] > 0.0f) {
      ++dim;
      EXPECT_NEAR(scan.intensities[i], config.extras.wall_intensity, 10.0f);
    } else {
      EXPECT_EQ(scan.ranges[i], std::numeric_limits<float>::infinity());
    }
  }
  // Two plates of 0.3 m seen from 1.5 m at 0.5 degrees: about 20 beams each.
  EXPECT_GT(bright, 30u);
  EXPECT_LT(bright, 50u);
  EXPECT_GT(dim, 100u);
}

TEST(ScanSimulator, SameSeedSameScansOtherSeedOtherNoise)
{
  auto config = align_tools::SimulationConfig();
  config.scanner.dropout_rate = 0.1;
  config.scanner.nan_rate = 0.05;
  config.extras.clutter_count = 4;
  align_tools::ScanSimulator a(config), b(config);
  config.seed = 2;
  align_tools::ScanSimulator c(config);
  const auto first = a.render({1.0, 0.1, 3.0}, stamp_zero());
  const auto again = b.render({1.0, 0.1, 3.0}, stamp_zero());
  const auto other = c.render({1.0, 0.1, 3.0}, stamp_zero());
  std::size_t nan = 0, lost = 0, differ = 0;
  for (std::size_t i = 0; i < first.ranges.size(); ++i) {
    const bool both_nan = std::isnan(first.ranges[i]) && std::isnan(again.ranges[i]);
    EXPECT_TRUE(both_nan || first.ranges[i] == again.ranges[i]) << i;
    nan += std::isnan(first.ranges[i]) ? 1 : 0;
    lost += std::isinf(first.ranges[i]) ? 1 : 0;
    differ += (first.ranges[i] != other.ranges[i]) ? 1 : 0;
  }
  EXPECT_GT(nan, 10u);  // about 27 of 541
  EXPECT_GT(lost, 40u);
  EXPECT_GT(differ, 100u);
}

TEST(ScanSimulator, ApproachInterpolatesAcrossTheHeadingWrap)
{
  const auto poses = align_tools::approach_trajectory({2.0, 0.2, 3.0}, {1.0, 0.0, -3.0}, 3);
  ASSERT_EQ(poses.size(), 3u);
  EXPECT_DOUBLE_EQ(poses[1].x, 1.5);
  EXPECT_DOUBLE_EQ(poses[1].y, 0.1);
  // From 3.0 to -3.0 the short way goes through pi, not through 0.
  EXPECT_NEAR(std::fabs(poses[1].yaw), kPi, 1e-9);
  EXPECT_NEAR(poses[2].yaw, -3.0, 1e-9);
  const auto stamp = align_tools::scan_stamp(1700000000900000000, 100000000, 2);
  EXPECT_EQ(stamp.sec, 1700000001);
  EXPECT_EQ(stamp.nanosec, 100000000u);
}

TEST(ScanSimulator, GroundTruthInTheBaseFrameFollowsTheMount)
{
  // The default mount faces backwards: a target 1 m ahead of the laser,
  // opening towards it, is 1.102 m behind the base, opening forwards.
  const auto base = align_tools::compose({-0.102, 0.0, kPi}, {1.0, 0.2, kPi});
  EXPECT_NEAR(base.x, -1.102, 1e-12);
  EXPECT_NEAR(base.y, -0.2, 1e-12);
  EXPECT_NEAR(base.yaw, 0.0, 1e-12);
}

TEST(JsonWriter, NumbersAreExactAndNonFiniteValuesAreStrings)
{
  EXPECT_EQ(align_tools::json_float(0.1f), "0.100000001");
  EXPECT_EQ(align_tools::json_double(0.1), "0.10000000000000001");
  EXPECT_EQ(align_tools::json_float(std::nanf("")), "\"nan\"");
  EXPECT_EQ(align_tools::json_double(-INFINITY), "\"-inf\"");
  EXPECT_EQ(align_tools::json_string("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

TEST(JsonWriter, MessagesCarryEveryFieldInOrder)
{
  geometry_msgs::msg::PoseStamped pose;
  pose.header.frame_id = "base_footprint";
  pose.header.stamp.sec = 5;
  pose.pose.position.z = 1.5;
  EXPECT_EQ(
    align_tools::to_json(pose),
    "{\"header\": {\"stamp\": {\"sec\": 5, \"nanosec\": 0}, \"frame_id\": \"base_footprint\"}, "
    "\"pose\": {\"position\": {\"x\": 0, \"y\": 0, \"z\": 1.5}, "
    "\"orientation\": {\"x\": 0, \"y\": 0, \"z\": 0, \"w\": 1}}}");
  visualization_msgs::msg::Marker marker;
  marker.points.resize(2);
  const std::string text = align_tools::to_json(marker);
  for (const char * field : {"\"ns\"", "\"lifetime\"", "\"frame_locked\"", "\"colors\"", "\"texture\"",
      "\"uv_coordinates\"", "\"mesh_file\"", "\"mesh_use_embedded_materials\": false"})
  {
    EXPECT_NE(text.find(field), std::string::npos) << field;
  }
  EXPECT_EQ(count_substring(text, "{\"x\": 0, \"y\": 0, \"z\": 0}"), 4u);  // position, scale, two points
  sensor_msgs::msg::LaserScan scan;
  scan.ranges = {1.0f, INFINITY};
  EXPECT_NE(align_tools::to_json(scan).find("\"ranges\": [1, \"inf\"], \"intensities\": []"), std::string::npos);
  EXPECT_EQ(
    align_tools::published_line(3, "/docking_pose", "geometry_msgs/msg/PoseStamped", "{}"),
    "{\"scan\": 3, \"topic\": \"/docking_pose\", \"type\": \"geometry_msgs/msg/PoseStamped\", \"msg\": {}}");
}

TEST(ReplaySummary, CountsRatesSpreadsAndTimes)
{
  std::vector<align_tools::ScanOutcome> outcomes(4);
  outcomes[0].processed = true;
  outcomes[0].dropped_at_transform = true;
  outcomes[0].seconds = 0.004;
  outcomes[1].processed = true;
  outcomes[1].pose = align_tools::Pose2D{-1.0, 0.1, kPi - 0.1};
  outcomes[1].seconds = 0.001;
  outcomes[2].processed = true;
  outcomes[2].pose = align_tools::Pose2D{-0.8, -0.1, -kPi + 0.1};
  outcomes[2].seconds = 0.002;
  // outcomes[3] never reached the node
  const auto summary = align_tools::summarize(outcomes);
  EXPECT_EQ(summary.scans_read, 4u);
  EXPECT_EQ(summary.scans_processed, 3u);
  EXPECT_EQ(summary.dropped_at_transform, 1u);
  EXPECT_EQ(summary.poses, 2u);
  EXPECT_DOUBLE_EQ(summary.detection_rate, 0.5);
  EXPECT_NEAR(summary.x.mean, -0.9, 1e-12);
  EXPECT_NEAR(summary.x.deviation, 0.1, 1e-12);
  // Headings either side of pi average to pi, not to 0.
  EXPECT_NEAR(std::fabs(summary.heading.mean), kPi, 1e-9);
  EXPECT_NEAR(summary.heading.deviation, 0.1, 1e-9);
  EXPECT_DOUBLE_EQ(summary.median_seconds, 0.002);
  EXPECT_DOUBLE_EQ(summary.worst_seconds, 0.004);
  EXPECT_NE(align_tools::format_summary(summary).find("detection rate 50.0%"), std::string::npos);
  EXPECT_EQ(align_tools::summarize({}).poses, 0u);
}

TEST(SvgPlot, DrawsEveryLayerAndKeepsFarReturnsOutOfTheView)
{
  align_tools::PlotScene scene;
  scene.title = "scan <3>";
  scene.laser = {-0.102, 0.0, kPi};
  scene.returns = {{-1.0, 0.0, 252.0f}, {-1.1, 0.1, 10.0f}, {-60.0, 0.0, 5.0f}};
  scene.accepted = {{-1.0, 0.0, 0.0f}};
  scene.segments = {{-1.2, 0.2, -1.0, 0.0}, {-1.0, 0.0, -1.2, -0.2}};
  scene.targets = {{-1.0, 0.0, 0.0}};
  const std::string svg = align_tools::render_svg(scene);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("scan &lt;3&gt;"), std::string::npos);
  EXPECT_EQ(count_substring(svg, "r='1.8'"), 2u);  // the 60 m return is outside the view
  EXPECT_NE(svg.find("segments: 2"), std::string::npos);
  EXPECT_NE(svg.find("target corner + heading: 1"), std::string::npos);
  EXPECT_NE(svg.find("x [m] in base_footprint"), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST(GroundTruth, WrittenFileReadsBack)
{
  align_tools::GroundTruth truth;
  truth.laser_frame = "back_laser";
  truth.mount = {-0.102, 0.0, kPi};
  truth.scans.emplace_back();
  truth.scans[0].stamp.sec = 7;
  truth.scans[0].laser = {1.0, 0.1, 3.0};
  truth.scans[0].base = align_tools::compose(truth.mount, truth.scans[0].laser);
  const std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "_truth_roundtrip.json";
  std::ofstream(path) << align_tools::ground_truth_json(truth);
  const auto read = align_tools::read_ground_truth(path);
  ASSERT_EQ(read.scans.size(), 1u);
  EXPECT_EQ(read.laser_frame, "back_laser");
  EXPECT_EQ(read.scans[0].stamp.sec, 7);
  EXPECT_EQ(read.scans[0].base.x, truth.scans[0].base.x);
  EXPECT_EQ(read.mount.yaw, kPi);
}
