// The docking trials in one process: both programs dock the simulated robot
// from the staging region, a trial is the same on every run, and the
// reports carry what the program prints.
#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "align_dock_sim/trial_plot.hpp"
#include "align_dock_sim/trial_report.hpp"
#include "align_dock_sim/trial_runner.hpp"

namespace
{

using align_tools::NodeKind;

const std::string kBundledScene = std::string(ALIGN_DOCK_SIM_SOURCE_DIR) + "/scenes/docking_scene.yaml";
constexpr double kDegree = 3.141592653589793 / 180.0;

// The bundled approach's parameters, which suit the bundled scene's target
// and laser (the laser mount comes from the scene).
std::vector<rclcpp::Parameter> bundled_parameters()
{
  return {
    {"min_angle", -1.5}, {"max_angle", 1.5}, {"min_intensity", 250.0}, {"max_intensity", 255.0},
    {"min_range", 0.05}, {"max_range", 2.0}, {"threshold_split", 0.02}, {"points_max_distance", 0.05},
    {"min_line_len", 0.15}, {"max_line_len", 0.4}, {"target_angle", 1.047}, {"angle_error", 0.2}};
}

align_dock_sim::TrialSettings settings_for(NodeKind node)
{
  align_dock_sim::TrialSettings settings;
  settings.node = node;
  settings.scene_file = kBundledScene;
  settings.seed = 3;
  settings.program_overrides = bundled_parameters();
  return settings;
}

class TrialsTest : public ::testing::TestWithParam<NodeKind> {};

TEST_P(TrialsTest, DocksWithinACentimetreAndADegreeOfTheTruth)
{
  align_dock_sim::TrialRunner runner(settings_for(GetParam()));
  const align_dock_sim::TrialResult result = runner.run_trial(0);
  EXPECT_TRUE(result.docked) << result.end;
  EXPECT_EQ(result.end, "docked");
  EXPECT_LT(std::fabs(result.final_error.along), 0.01);
  EXPECT_LT(std::fabs(result.final_error.across), 0.01);
  EXPECT_LT(std::fabs(result.final_error.heading), 1.0 * kDegree);
  // Seconds of simulated time, a pose from almost every scan.
  EXPECT_GT(result.time_s, 3.0);
  EXPECT_LT(result.time_s, 30.0);
  EXPECT_GT(static_cast<double>(result.poses), 0.8 * result.time_s * 25.0);
  EXPECT_EQ(result.path.size(), static_cast<std::size_t>(std::lround(result.time_s / 0.02)) + 1);
  // The target poses, placed with the true pose, lie on the apex.
  ASSERT_FALSE(result.detections.empty());
  const auto & apex = runner.scene().target.apex;
  std::size_t near_apex = 0;
  for (const auto & detection : result.detections) {
    near_apex += std::hypot(detection.x - apex.x, detection.y - apex.y) < 0.01 ? 1 : 0;
  }
  EXPECT_GT(near_apex, result.detections.size() * 9 / 10);

  const std::string json = align_dock_sim::trial_json(result);
  for (const char * key : {"\"trial\": 0", "\"start\": {\"x\": ", "\"docked\": true", "\"time_s\": ", "\"poses\": ",
      "\"final_true_pose\": {", "\"docked_pose\": {\"x\": 2, \"y\": 1.3999999999999999", "\"along_m\": ",
      "\"across_m\": ", "\"heading_deg\": "})
  {
    EXPECT_NE(json.find(key), std::string::npos) << key << " in " << json;
  }
  EXPECT_EQ(align_dock_sim::trial_line(result).rfind("trial 0: docked after ", 0), 0u);
}

TEST_P(TrialsTest, ATrialIsTheSameOnEveryRunAndStartsInTheStagingRegion)
{
  align_dock_sim::TrialSettings settings = settings_for(GetParam());
  settings.range_noise = 0.003;
  settings.odometry_error.scale = 0.01;
  align_dock_sim::TrialRunner runner(settings);
  const auto first = runner.run_trial(1);
  const auto again = runner.run_trial(1);
  EXPECT_EQ(align_dock_sim::trial_json(first), align_dock_sim::trial_json(again));
  const auto other = runner.run_trial(2);
  EXPECT_NE(first.start.x, other.start.x);
  for (const auto & result : {first, other}) {
    const auto offset = align_dock_sim::error_to_goal(result.start, result.docked_pose);
    EXPECT_GE(offset.along, 0.5);
    EXPECT_LE(offset.along, 1.2);
    EXPECT_LE(std::fabs(offset.across), 0.2);
    EXPECT_LE(std::fabs(offset.heading), 15.0 * kDegree);
  }
  EXPECT_TRUE(first.docked) << first.end;
  EXPECT_LT(std::fabs(first.final_error.along), 0.02);
  EXPECT_LT(std::fabs(first.final_error.heading), 2.0 * kDegree);
}

INSTANTIATE_TEST_SUITE_P(
  , TrialsTest, ::testing::Values(NodeKind::kFeature, NodeKind::kLine),
  [](const ::testing::TestParamInfo<NodeKind> & info) {
    return info.param == NodeKind::kFeature ? "feature" : "line";
  });

// The values a shipped scanner parameter file gives the program, on top of
// `base` (a value of the file replaces the base's).
std::vector<rclcpp::Parameter> with_scanner_file(
  std::vector<rclcpp::Parameter> base, const std::string & profile, const std::string & node_name)
{
  const std::string path = std::string(ALIGN_DOCK_SIM_SOURCE_DIR) + "/config/scanners/" + profile + ".yaml";
  const YAML::Node values = YAML::LoadFile(path)["/**/" + node_name]["ros__parameters"];
  EXPECT_TRUE(values.IsMap()) << path;
  for (const auto & entry : values) {
    const std::string name = entry.first.as<std::string>();
    const std::string text = entry.second.as<std::string>();
    rclcpp::Parameter parameter = text == "true" || text == "false" ?
      rclcpp::Parameter(name, text == "true") : rclcpp::Parameter(name, entry.second.as<double>());
    base.erase(
      std::remove_if(base.begin(), base.end(), [&name](const rclcpp::Parameter & p) {return p.get_name() == name;}),
      base.end());
    base.push_back(parameter);
  }
  return base;
}

struct ScannerCase
{
  NodeKind node;
  const char * profile;
};

class ScannerTrialsTest : public ::testing::TestWithParam<ScannerCase> {};

// With the errors of a real laser and the profile's shipped parameters, every
// trial docks within a centimetre and a degree of the truth.
TEST_P(ScannerTrialsTest, EveryTrialDocksWithin1CmAnd1Degree)
{
  const ScannerCase & scanner = GetParam();
  align_dock_sim::TrialSettings settings = settings_for(scanner.node);
  settings.seed = 1;
  settings.scanner = scanner.profile;
  settings.program_overrides = with_scanner_file(
    bundled_parameters(), scanner.profile, scanner.node == NodeKind::kFeature ? "align_feature_node" : "align_node");
  align_dock_sim::TrialRunner runner(settings);
  for (int trial = 0; trial < 20; ++trial) {
    SCOPED_TRACE(trial);
    const auto result = runner.run_trial(trial);
    EXPECT_TRUE(result.docked) << result.end;
    EXPECT_LT(std::fabs(result.final_error.along), 0.01);
    EXPECT_LT(std::fabs(result.final_error.across), 0.01);
    EXPECT_LT(std::fabs(result.final_error.heading), 1.0 * kDegree);
  }
}

INSTANTIATE_TEST_SUITE_P(
  , ScannerTrialsTest,
  ::testing::Values(ScannerCase{NodeKind::kFeature, "recorded"}, ScannerCase{NodeKind::kLine, "datasheet_10mm"}),
  [](const ::testing::TestParamInfo<ScannerCase> & info) {
    return std::string(info.param.node == NodeKind::kFeature ? "feature_" : "line_") +
           (std::string(info.param.profile) == "datasheet_10mm" ? "10mm" : info.param.profile);
  });

TEST(Trials, WithoutTheProfilesParametersTheRealNoiseLosesTheTarget)
{
  // The bundled parameters with only the intensity band opened for the
  // saturated plates: the neighbour-gap cut and the 2 cm split threshold cut
  // the plates into pieces, and the target is lost near the dock.
  align_dock_sim::TrialSettings settings = settings_for(NodeKind::kLine);
  settings.seed = 1;
  settings.scanner = "datasheet_10mm";
  for (auto & parameter : settings.program_overrides) {
    if (parameter.get_name() == "min_intensity") {
      parameter = rclcpp::Parameter("min_intensity", 230.0);
    } else if (parameter.get_name() == "max_intensity") {
      parameter = rclcpp::Parameter("max_intensity", 256.0);
    }
  }
  align_dock_sim::TrialRunner runner(settings);
  const auto result = runner.run_trial(0);
  EXPECT_FALSE(result.docked);
}

TEST(Trials, AProgramThatSeesNothingFailsTheTrialInsteadOfHanging)
{
  align_dock_sim::TrialSettings settings = settings_for(NodeKind::kLine);
  // No reading is bright enough: the controller never gets a pose.
  for (auto & parameter : settings.program_overrides) {
    if (parameter.get_name() == "min_intensity") {
      parameter = rclcpp::Parameter("min_intensity", 254.9);
    }
  }
  align_dock_sim::TrialRunner runner(settings);
  const auto result = runner.run_trial(0);
  EXPECT_FALSE(result.docked);
  EXPECT_EQ(result.end, "no target pose arrived");
  EXPECT_EQ(result.poses, 0u);
  EXPECT_LT(result.time_s, 6.0);

  const std::string svg = align_dock_sim::render_trials_svg(runner.scene(), {result}, "title");
  EXPECT_NE(svg.find("0 of 1 docked"), std::string::npos);
  EXPECT_NE(svg.find("#d1343b"), std::string::npos) << "a failed path is drawn red";
}

}  // namespace
