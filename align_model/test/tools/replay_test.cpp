// Replays through the real node classes: the bundled approach against its
// ground truth, format independence, reproducibility, and the recorded
// real scans.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "align_tools/ground_truth.hpp"
#include "align_tools/private_domain.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/replay.hpp"
#include "align_tools/replay_plot.hpp"
#include "align_tools/scan_yaml.hpp"
#include "align_tools/simulated_recording.hpp"
#include "align_tools/svg_plot.hpp"
#include "rclcpp/rclcpp.hpp"
#include "support/bundled_files.hpp"
#include "support/real_data.hpp"

namespace fs = std::filesystem;

namespace
{

constexpr double kPi = 3.141592653589793;
using align_test::kBundledData;
const std::string kRealData = align_test::real_data_dir();
const align_tools::Pose2D kBundledMount{-0.102, 0.0, kPi};

// The whole program runs with the bundled parameter file, as the command
// line of align_replay would pass it; single tests add overrides on top.
class BundledParameters : public ::testing::Environment
{
public:
  void SetUp() override
  {
    const std::string params = kBundledData + "/docking_approach.params.yaml";
    const char * argv[] = {"test_tools", "--ros-args", "--params-file", params.c_str()};
    // In a domain of its own, as align_replay runs.
    rclcpp::init(4, argv, align_tools::private_domain_init_options());
  }
  void TearDown() override {rclcpp::shutdown();}
};

const auto * const kEnvironment = ::testing::AddGlobalTestEnvironment(new BundledParameters);

align_tools::ReplaySettings settings_for(align_tools::NodeKind node)
{
  align_tools::ReplaySettings settings;
  settings.node = node;
  settings.laser_mount = kBundledMount;
  return settings;
}

std::string temp_path(const std::string & name)
{
  return (fs::temp_directory_path() / ("align_replay_test_" + std::to_string(::getpid()) + "_" + name)).string();
}

class NodeKindTest : public ::testing::TestWithParam<align_tools::NodeKind> {};

std::string kind_name(const ::testing::TestParamInfo<align_tools::NodeKind> & info)
{
  return info.param == align_tools::NodeKind::kFeature ? "feature" : "line";
}

}  // namespace

TEST_P(NodeKindTest, BundledApproachIsFoundWithinTwoCentimetresAndTwoDegrees)
{
  const auto recording = align_tools::load_recording(kBundledData + "/docking_approach");
  const auto truth = align_tools::read_ground_truth(kBundledData + "/docking_approach.truth.json");
  ASSERT_EQ(recording.scans.size(), truth.scans.size());
  ASSERT_GE(recording.scans.size(), 30u);
  const auto run = align_tools::replay_recording(recording, settings_for(GetParam()));
  ASSERT_EQ(run.outcomes.size(), recording.scans.size());
  std::size_t poses = 0;
  for (std::size_t i = 0; i < run.outcomes.size(); ++i) {
    EXPECT_TRUE(run.outcomes[i].processed) << i;
    if (!run.outcomes[i].pose) {
      continue;
    }
    ++poses;
    const auto & pose = *run.outcomes[i].pose;
    const auto & expected = truth.scans[i].base;
    EXPECT_LT(std::hypot(pose.x - expected.x, pose.y - expected.y), 0.02) << "scan " << i;
    EXPECT_LT(std::fabs(std::remainder(pose.yaw - expected.yaw, 2 * kPi)), 2.0 * kPi / 180.0) << "scan " << i;
  }
  EXPECT_GE(static_cast<double>(poses), 0.95 * recording.scans.size());
  if (GetParam() == align_tools::NodeKind::kFeature) {
    // The transform gate drops the first scan and no other.
    EXPECT_TRUE(run.outcomes[0].dropped_at_transform);
    EXPECT_FALSE(run.outcomes[0].pose);
    for (std::size_t i = 1; i < run.outcomes.size(); ++i) {
      EXPECT_FALSE(run.outcomes[i].dropped_at_transform) << i;
    }
  }
}

TEST_P(NodeKindTest, BagAndEchoYamlOfTheSameScansGiveIdenticalOutput)
{
  align_tools::SimulationConfig config;
  config.extras.walls = true;
  config.seed = 11;
  align_tools::ApproachPlan plan;
  plan.from = {1.2, 0.05, 3.05};
  plan.to = {0.8, 0.0, 3.1};
  plan.scans = 8;
  const auto simulated = align_tools::simulate_approach(config, plan);
  const std::string bag = temp_path("bag");
  const std::string yaml = temp_path("scans.yaml");
  fs::remove_all(bag);
  align_tools::write_simulated_bag(bag, "/back_scan", simulated, false, "base_footprint");
  {
    std::ofstream out(yaml);
    for (const auto & scan : simulated.scans) {
      align_tools::write_scan_yaml(out, scan);
    }
  }
  const auto from_bag = align_tools::replay_recording(align_tools::load_recording(bag), settings_for(GetParam()));
  const auto from_yaml = align_tools::replay_recording(align_tools::load_recording(yaml), settings_for(GetParam()));
  fs::remove_all(bag);
  fs::remove(yaml);
  const std::string text = align_tools::published_json_lines(from_bag);
  EXPECT_NE(text.find("\"type\": \"geometry_msgs/msg/PoseStamped\""), std::string::npos);
  EXPECT_EQ(text, align_tools::published_json_lines(from_yaml));
}

TEST_P(NodeKindTest, TwoRunsGiveIdenticalOutputAndDebugOutputsStayHidden)
{
  const auto recording = align_tools::load_recording(kBundledData + "/docking_approach");
  auto settings = settings_for(GetParam());
  const std::string first = align_tools::published_json_lines(align_tools::replay_recording(recording, settings));
  // Collecting segments for a picture runs the node in debug mode, but the
  // printed output must not change.
  settings.collect_debug_outputs = true;
  const auto with_debug = align_tools::replay_recording(recording, settings);
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first, align_tools::published_json_lines(with_debug));
  EXPECT_EQ(first, align_tools::published_json_lines(align_tools::replay_recording(recording, settings_for(GetParam()))));

  // Stamps come from the recording through the simulated clock.
  EXPECT_NE(first.find("\"stamp\": {\"sec\": 1700000003, \"nanosec\": 900000000}"), std::string::npos);

  const auto scene = align_tools::plot_scan(recording, with_debug, recording.scans.size() - 1);
  EXPECT_EQ(scene.targets.size(), 1u);
  EXPECT_GE(scene.segments.size(), 2u);
  EXPECT_GT(scene.accepted.size(), 20u);
  EXPECT_EQ(scene.frame, "base_footprint");
  EXPECT_NEAR(scene.laser.x, -0.102, 1e-9);
}

TEST_P(NodeKindTest, DebugOutputsArePrintedInPublicationOrderWhenAskedFor)
{
  auto recording = align_tools::load_recording(kBundledData + "/docking_approach");
  recording.scans.resize(3);
  auto settings = settings_for(GetParam());
  settings.parameter_overrides.emplace_back("debug", true);
  const auto run = align_tools::replay_recording(recording, settings);
  std::vector<std::string> order;
  for (const auto & published : run.published) {
    if (published.scan == 2) {
      order.push_back(published.topic + (published.marker ? "#" + std::to_string(published.marker->id) : ""));
    }
  }
  // Selected scan, segment marker, target marker, pose.
  EXPECT_EQ(order, (std::vector<std::string>{"/align_scan", "/align_marker#1", "/align_marker#0", "/docking_pose"}));
  EXPECT_NE(align_tools::published_json_lines(run).find("/align_marker"), std::string::npos);
}

TEST_P(NodeKindTest, UnevenIntensitiesAreReplayedAsTheProgramsTakeThem)
{
  auto recording = align_tools::load_recording(kBundledData + "/docking_approach");
  recording.scans.resize(6);
  auto changed = recording.scans;
  // Surplus intensities are ignored: the same poses as recorded.
  for (std::size_t i : {2, 3}) {
    changed[i].intensities.resize(changed[i].ranges.size() + 5, 252.0f);
  }
  // Without intensities past the tenth reading, the plates fail the band.
  for (std::size_t i : {4, 5}) {
    changed[i].intensities.resize(10);
  }
  const std::string yaml = temp_path("uneven.yaml");
  {
    std::ofstream out(yaml);
    for (const auto & scan : changed) {
      align_tools::write_scan_yaml(out, scan);
    }
  }
  const auto uneven = align_tools::load_recording(yaml);
  fs::remove(yaml);
  ASSERT_EQ(uneven.notes.size(), 1u);
  EXPECT_NE(uneven.notes[0].find("4 scans have"), std::string::npos) << uneven.notes[0];

  const auto expected = align_tools::replay_recording(recording, settings_for(GetParam()));
  const auto run = align_tools::replay_recording(uneven, settings_for(GetParam()));
  ASSERT_EQ(run.outcomes.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_TRUE(run.outcomes[i].processed) << i;
  }
  for (std::size_t i : {2, 3}) {
    ASSERT_TRUE(expected.outcomes[i].pose) << i;
    ASSERT_TRUE(run.outcomes[i].pose) << i;
    EXPECT_EQ(run.outcomes[i].pose->x, expected.outcomes[i].pose->x) << i;
    EXPECT_EQ(run.outcomes[i].pose->y, expected.outcomes[i].pose->y) << i;
    EXPECT_EQ(run.outcomes[i].pose->yaw, expected.outcomes[i].pose->yaw) << i;
  }
  for (std::size_t i : {4, 5}) {
    EXPECT_TRUE(expected.outcomes[i].pose) << i;
    EXPECT_FALSE(run.outcomes[i].pose) << i;
  }
}

TEST_P(NodeKindTest, StandardDockPoseAndDiagnosticsArePrintedToo)
{
  auto recording = align_tools::load_recording(kBundledData + "/docking_approach");
  recording.scans.resize(6);
  const auto plain = align_tools::replay_recording(recording, settings_for(GetParam()));
  auto settings = settings_for(GetParam());
  settings.parameter_overrides.emplace_back("dock_pose_topic", "/detected_dock_pose");
  settings.parameter_overrides.emplace_back("diagnostics", true);
  const auto run = align_tools::replay_recording(recording, settings);

  // The same target poses as without the extra outputs, each followed by its
  // standard twin with the scan's stamp and a yaw quaternion.
  std::vector<std::string> poses;
  std::vector<std::string> dock_poses;
  std::size_t diagnostics = 0;
  for (const auto & published : run.published) {
    if (published.topic == "/docking_pose") {
      poses.push_back(published.json);
    } else if (published.topic == "/detected_dock_pose") {
      dock_poses.push_back(published.json);
      EXPECT_FALSE(published.pose) << "only the node's own pose output is kept for the summary";
      const auto & stamp = recording.scans[published.scan].header.stamp;
      EXPECT_NE(
        published.json.find(
          "\"stamp\": {\"sec\": " + std::to_string(stamp.sec) + ", \"nanosec\": " + std::to_string(stamp.nanosec) + "}"),
        std::string::npos) << published.json;
      EXPECT_NE(published.json.find("\"z\": 0}, \"orientation\": {\"x\": 0, \"y\": 0, \"z\": -0.0"), std::string::npos)
        << published.json;
    } else if (published.topic == "/diagnostics") {
      ++diagnostics;
      EXPECT_EQ(published.type, "diagnostic_msgs/msg/DiagnosticArray");
      EXPECT_NE(published.json.find("\"name\": \"" + std::string(
          GetParam() == align_tools::NodeKind::kFeature ? "align_feature_node" : "align_node")),
        std::string::npos) << published.json;
    }
  }
  std::vector<std::string> plain_poses;
  for (const auto & published : plain.published) {
    plain_poses.push_back(published.json);
  }
  EXPECT_EQ(poses, plain_poses);
  EXPECT_EQ(dock_poses.size(), poses.size());
  // A replay ends sooner than the node's one-second report: the replay waits for one.
  EXPECT_GE(diagnostics, 1u);
  for (std::size_t i = 0; i < run.outcomes.size(); ++i) {
    ASSERT_EQ(run.outcomes[i].pose.has_value(), plain.outcomes[i].pose.has_value()) << i;
    if (run.outcomes[i].pose) {
      EXPECT_EQ(run.outcomes[i].pose->yaw, plain.outcomes[i].pose->yaw) << i;
    }
  }
  const std::string text = align_tools::published_json_lines(run);
  EXPECT_NE(text.find("\"topic\": \"/detected_dock_pose\""), std::string::npos);
  EXPECT_NE(text.find("\"topic\": \"/diagnostics\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
  , NodeKindTest,
  ::testing::Values(align_tools::NodeKind::kFeature, align_tools::NodeKind::kLine), kind_name);

TEST(RealRecordings, EveryBagReplaysWithBothPrograms)
{
  ALIGN_TEST_NEEDS_REAL_DATA();
  struct Case
  {
    std::string file;
    std::string topic;
    bool has_intensities;
  };
  const Case cases[] = {
    {"reflcal_ref_1111.bag", "", true},
    {"reflcal_obs2.bag", "/scan_back", true},
    {"scan_tools_demo.bag", "", false},
  };
  for (const auto & c : cases) {
    align_tools::TopicChoice choice;
    choice.requested = c.topic;
    auto recording = align_tools::load_recording(kRealData + "/" + c.file, choice);
    // The first scans are enough to show the path works; the report runs
    // them all through align_replay.
    recording.scans.resize(std::min<std::size_t>(recording.scans.size(), 40));
    for (auto node : {align_tools::NodeKind::kFeature, align_tools::NodeKind::kLine}) {
      align_tools::ReplaySettings settings;
      settings.node = node;
      // The Hokuyo's raw intensity scale and a window inside its 270 degrees.
      settings.parameter_overrides = {
        {"min_intensity", 3000.0}, {"max_intensity", 100000.0}, {"min_angle", -2.0}, {"max_angle", 2.0}};
      if (recording.static_transforms.empty()) {
        settings.laser_mount = align_tools::Pose2D{0.0, 0.0, 0.0};
      }
      const auto run = align_tools::replay_recording(recording, settings);
      ASSERT_EQ(run.outcomes.size(), recording.scans.size()) << c.file;
      for (const auto & outcome : run.outcomes) {
        EXPECT_TRUE(outcome.processed) << c.file;
      }
      bool intensity_note = false;
      for (const auto & note : run.notes) {
        intensity_note = intensity_note || note.find("no intensities") != std::string::npos;
      }
      EXPECT_EQ(intensity_note, !c.has_intensities) << c.file;
      if (!c.has_intensities) {
        EXPECT_TRUE(run.published.empty()) << c.file;
      }
    }
  }
}

TEST(NodeKindOption, NamesEitherProgramAndRejectsAnythingElseByOption)
{
  EXPECT_EQ(align_tools::parse_node_kind("--node", "feature"), align_tools::NodeKind::kFeature);
  EXPECT_EQ(align_tools::parse_node_kind("--node", "line"), align_tools::NodeKind::kLine);
  for (const char * text : {"", "Feature", "align_node", "line "}) {
    try {
      align_tools::parse_node_kind("--node", text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const std::invalid_argument & error) {
      EXPECT_EQ(std::string(error.what()), std::string("--node takes 'feature' or 'line', not '") + text + "'");
    }
  }
}
