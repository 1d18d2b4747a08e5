// Why a recording gives no pose: the funnel the replay reads from the node,
// the near-miss lines, and the parameter suggestion with its proof run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "align_tools/near_miss.hpp"
#include "align_tools/parameter_suggestion.hpp"
#include "align_tools/replay_suggest.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/replay.hpp"
#include "align_tools/replay_diagnosis.hpp"
#include "align_tools/replay_plot.hpp"
#include "align_tools/svg_plot.hpp"
#include "align_tools/simulated_recording.hpp"
#include "align_tools/truth_check.hpp"
#include "rclcpp/rclcpp.hpp"

namespace
{

using align_model::FunnelStage;

constexpr double kPi = 3.141592653589793;

// A docking approach with walls and clutter, ground truth included.
align_tools::SimulatedRecording approach()
{
  align_tools::SimulationConfig config;
  config.extras.walls = true;
  config.extras.clutter_count = 2;
  config.seed = 23;
  config.target.plate_length = 0.25;
  align_tools::ApproachPlan plan;
  plan.from = {1.4, 0.08, 3.0};
  plan.to = {0.7, 0.0, 3.1};
  plan.scans = 20;
  return align_tools::simulate_approach(config, plan);
}

align_tools::Recording recording_of(const align_tools::SimulatedRecording & simulated)
{
  return align_tools::as_recording(simulated);
}

align_tools::ReplaySettings settings_for(align_tools::NodeKind node, std::vector<rclcpp::Parameter> overrides)
{
  align_tools::ReplaySettings settings;
  settings.node = node;
  settings.laser_mount = align_tools::Pose2D{-0.102, 0.0, kPi};
  settings.parameter_overrides = std::move(overrides);
  return settings;
}

class MisTunedApproach : public ::testing::TestWithParam<align_tools::NodeKind> {};

std::string kind_name(const ::testing::TestParamInfo<align_tools::NodeKind> & info)
{
  return info.param == align_tools::NodeKind::kFeature ? "feature" : "line";
}

}  // namespace

TEST(NearMiss, SpreadGivesMinimumMedianAndMaximum)
{
  const auto odd = align_tools::spread_of({3.0, 1.0, 2.0});
  EXPECT_EQ(odd.count, 3u);
  EXPECT_EQ(odd.min, 1.0);
  EXPECT_EQ(odd.median, 2.0);
  EXPECT_EQ(odd.max, 3.0);
  EXPECT_EQ(align_tools::spread_of({4.0, 1.0, 2.0, 3.0}).median, 2.5);
  EXPECT_EQ(align_tools::spread_of({}).count, 0u);
}

TEST_P(MisTunedApproach, FunnelNamesLengthsSuggestionFinds)
{
  const auto simulated = approach();
  const auto recording = recording_of(simulated);
  // Plates of 0.25 m against a window that ends at 0.2 m, and a gap limit
  // that is too tight as well.
  auto settings = settings_for(
    GetParam(), {{"max_line_len", 0.2}, {"points_max_distance", 0.004}, {"angle_error", 0.01}});
  const auto run = align_tools::replay_recording(recording, settings);
  ASSERT_EQ(run.outcomes.size(), recording.scans.size());
  for (const auto & outcome : run.outcomes) {
    ASSERT_TRUE(outcome.stage);
    EXPECT_NE(*outcome.stage, FunnelStage::kFound);
  }

  // The text names the stage and the deciding parameters with numbers.
  const std::string text = align_tools::diagnosis_text(recording, run);
  EXPECT_NE(text.find("funnel: no segment pair in the length window"), std::string::npos) << text;
  EXPECT_NE(text.find("stopped at \"no segment pair in the length window\""), std::string::npos) << text;
  EXPECT_NE(text.find("near miss: segment lengths min/median/max"), std::string::npos) << text;
  EXPECT_NE(text.find("max_line_len 0.2"), std::string::npos) << text;

  const auto suggestion = align_tools::suggest_parameters(recording.scans, run.view.analysis);
  ASSERT_TRUE(suggestion.found) << suggestion.problem;
  EXPECT_GE(suggestion.scans_with_candidate, 19u);
  std::vector<rclcpp::Parameter> overrides;
  for (const auto & value : suggestion.values) {
    EXPECT_FALSE(value.comment.empty()) << value.name;
    overrides.push_back(align_tools::as_parameter(value));
    if (value.name == "min_line_len") {
      EXPECT_LT(value.value, 0.25);
    }
    if (value.name == "max_line_len") {
      EXPECT_GT(value.value, 0.25);
    }
  }
  const auto checked = align_tools::replay_recording(recording, settings_for(GetParam(), overrides));
  const auto agreement = align_tools::agreement_with_truth(checked.outcomes, simulated.truth);
  EXPECT_GE(agreement.within, 19u);  // 95% of 20, within 2 cm and 2 degrees

  const std::string yaml = align_tools::suggestion_yaml(
    suggestion, GetParam() == align_tools::NodeKind::kFeature ? "align_feature_node" : "align_node", "simulated");
  EXPECT_NE(yaml.find("ros__parameters:"), std::string::npos);
  EXPECT_NE(yaml.find("    max_line_len: "), std::string::npos);
  EXPECT_NE(yaml.find("    # legs of the V candidates"), std::string::npos);
}

// The feature program's window: kept where it fits every scan, otherwise
// the scans' own coverage, with the reason.
TEST(Suggestion, WindowIsKeptWhereItFitsAndNarrowedWhereItDoesNot)
{
  const auto recording = recording_of(approach());
  const auto run = align_tools::replay_recording(recording, settings_for(align_tools::NodeKind::kFeature, {}));
  auto window_of = [&](double min_angle, double max_angle) {
      align_tools::AnalysisSettings analysis = run.view.analysis;
      analysis.min_angle = min_angle;
      analysis.max_angle = max_angle;
      const auto suggestion = align_tools::suggest_parameters(recording.scans, analysis);
      EXPECT_TRUE(suggestion.found) << suggestion.problem;
      std::vector<align_tools::SuggestedValue> window;
      for (const auto & value : suggestion.values) {
        if (value.name == "min_angle" || value.name == "max_angle") {
          window.push_back(value);
        }
      }
      return window;
    };
  const sensor_msgs::msg::LaserScan & scan = recording.scans.front();
  const double first = scan.angle_min;
  const double last = first + scan.angle_increment * (static_cast<double>(scan.ranges.size()) - 1.0);

  const auto kept = window_of(first + 0.1, last - 0.1);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_DOUBLE_EQ(kept[0].value, first + 0.1);
  EXPECT_DOUBLE_EQ(kept[1].value, last - 0.1);
  EXPECT_EQ(kept[0].comment, "kept: the window fits every scan");

  // Past the last reading: the scans' coverage instead, within a millimetre of a radian.
  const auto narrowed = window_of(first + 0.1, last + 0.1);
  ASSERT_EQ(narrowed.size(), 2u);
  EXPECT_GT(narrowed[0].value, first);
  EXPECT_NEAR(narrowed[0].value, first, scan.angle_increment);
  EXPECT_LE(narrowed[1].value, last);
  EXPECT_NEAR(narrowed[1].value, last, 0.001);
  EXPECT_NE(narrowed[0].comment.find("did not fit"), std::string::npos) << narrowed[0].comment;
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, MisTunedApproach,
  ::testing::Values(align_tools::NodeKind::kFeature, align_tools::NodeKind::kLine), kind_name);

TEST(Suggestion, ARecordingWithoutIntensitiesGetsAClearMessage)
{
  auto recording = recording_of(approach());
  for (auto & scan : recording.scans) {
    scan.intensities.clear();
  }
  const auto run = align_tools::replay_recording(recording, settings_for(align_tools::NodeKind::kLine, {}));
  const auto suggestion = align_tools::suggest_parameters(recording.scans, run.view.analysis);
  EXPECT_FALSE(suggestion.found);
  EXPECT_NE(suggestion.problem.find("no intensities"), std::string::npos) << suggestion.problem;
  const std::string text = align_tools::diagnosis_text(recording, run);
  EXPECT_NE(text.find("scans carry no intensities"), std::string::npos) << text;
}

TEST(Suggestion, ScansWithoutAVTargetGiveNoSuggestion)
{
  align_tools::SimulationConfig config;
  config.extras.walls = true;
  config.extras.clutter_count = 3;
  align_tools::ApproachPlan plan;
  // The plates stay beyond max_range (2 m): walls and boxes only.
  plan.from = {4.0, 0.0, kPi};
  plan.to = {4.0, 0.0, kPi};
  plan.scans = 5;
  const auto recording = recording_of(align_tools::simulate_approach(config, plan));
  const auto run = align_tools::replay_recording(recording, settings_for(align_tools::NodeKind::kFeature, {}));
  const auto suggestion = align_tools::suggest_parameters(recording.scans, run.view.analysis);
  EXPECT_FALSE(suggestion.found);
  EXPECT_NE(suggestion.problem.find("found no V-shaped candidate"), std::string::npos) << suggestion.problem;
}

TEST(Suggestion, TheRecordedReflectorsAreNoVTarget)
{
  const std::string bag = std::string(ALIGN_MODEL_REAL_DATA_DIR) + "/reflcal_ref_1111.bag";
  if (!std::filesystem::exists(bag)) {
    GTEST_SKIP() << "no recorded real scans at " << bag;
  }
  const auto recording = align_tools::load_recording(bag);
  const auto run = align_tools::replay_recording(recording, settings_for(align_tools::NodeKind::kLine, {}));
  // The default 0..255 band lets nothing of the raw Hokuyo scale through.
  const std::string text = align_tools::diagnosis_text(recording, run);
  EXPECT_NE(text.find("stopped at \"no reading in the band\""), std::string::npos) << text;
  const auto suggestion = align_tools::suggest_parameters(recording.scans, run.view.analysis);
  EXPECT_FALSE(suggestion.found);
  EXPECT_NE(suggestion.problem.find("found no V-shaped candidate"), std::string::npos) << suggestion.problem;
}

TEST(RejectedPairs, TheAnalysisFollowsTheOptInSteps)
{
  const auto recording = recording_of(approach());
  auto settings = settings_for(
    align_tools::NodeKind::kFeature, {{"orthogonal_refit", true}, {"two_sided_angle_test", true}});
  const auto run = align_tools::replay_recording(recording, settings);
  EXPECT_EQ(run.view.analysis.refit_method, align_model::RefitMethod::kOrthogonal);
  EXPECT_TRUE(run.view.analysis.search.two_sided_angle_test);
  EXPECT_NE(align_tools::plot_scan(recording, run, 0).subtitle.find("; orthogonal refit; two-sided angle test"),
    std::string::npos);

  // Two pieces of one plate, meeting at 9 degrees: the one-sided test passes
  // them, the two-sided one does not.
  align_tools::PairGeometry pieces;
  pieces.turn = 9.0 * kPi / 180.0;
  pieces.has_corner = true;
  align_tools::AnalysisSettings analysis = run.view.analysis;
  EXPECT_FALSE(align_tools::passes_angle_test(pieces, analysis));
  analysis.search.two_sided_angle_test = false;
  EXPECT_TRUE(align_tools::passes_angle_test(pieces, analysis));
  // Off by default: the picture reads as before.
  const auto plain = align_tools::replay_recording(recording, settings_for(align_tools::NodeKind::kFeature, {}));
  EXPECT_EQ(plain.view.analysis.refit_method, align_model::RefitMethod::kLeastSquares);
  EXPECT_EQ(align_tools::plot_scan(recording, plain, 0).subtitle.find("refit"), std::string::npos);
}

TEST(RejectedPairs, ThePictureMarksThePlatesTheLengthWindowRejected)
{
  const auto recording = recording_of(approach());
  auto settings = settings_for(align_tools::NodeKind::kLine, {{"max_line_len", 0.2}});
  settings.collect_debug_outputs = true;
  const auto run = align_tools::replay_recording(recording, settings);
  const auto scene = align_tools::plot_scan(recording, run, recording.scans.size() - 1);
  ASSERT_FALSE(scene.rejected.empty());
  EXPECT_EQ(scene.rejected.front().reason, "too long");
  const std::string svg = align_tools::render_svg(scene);
  EXPECT_NE(svg.find(">too long</text>"), std::string::npos);
  EXPECT_NE(svg.find("rejected candidate pair (why): " + std::to_string(scene.rejected.size())), std::string::npos);

  // With the working window the plates pass and nothing is marked.
  settings.parameter_overrides = {{"max_line_len", 0.4}};
  const auto good = align_tools::replay_recording(recording, settings);
  EXPECT_TRUE(align_tools::plot_scan(recording, good, recording.scans.size() - 1).rejected.empty());
}
