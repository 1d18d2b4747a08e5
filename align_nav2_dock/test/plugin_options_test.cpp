// The plugin's parameters: names, defaults, descriptions and refusals.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <variant>

#include "align_nav2_dock/plugin_options.hpp"

namespace align_nav2_dock
{
namespace
{

// Parameters as a parameter file gives them; records every name asked for
// and its description.
class TableSource : public ParameterSource
{
public:
  using Value = std::variant<double, bool, std::int64_t, std::string>;
  std::map<std::string, Value> given;
  std::map<std::string, std::string> descriptions;

  double number(const std::string & name, double default_value, const std::string & description) override
  {
    return get(name, default_value, description);
  }
  bool flag(const std::string & name, bool default_value, const std::string & description) override
  {
    return get(name, default_value, description);
  }
  std::int64_t integer(const std::string & name, std::int64_t default_value, const std::string & description) override
  {
    return get(name, default_value, description);
  }
  std::string text(const std::string & name, const std::string & default_value, const std::string & description) override
  {
    return get(name, default_value, description);
  }

private:
  template<typename T>
  T get(const std::string & name, T default_value, const std::string & description)
  {
    descriptions[name] = description;
    const auto found = given.find(name);
    return found == given.end() ? default_value : std::get<T>(found->second);
  }
};

// A parameter file for the bundled scene: the length window set.
TableSource scene_source()
{
  TableSource source;
  source.given["min_line_len"] = 0.15;
  source.given["max_line_len"] = 0.4;
  return source;
}

TEST(PluginOptions, ProgramParametersKeepTheirNamesAndEveryOneIsDescribed)
{
  TableSource source = scene_source();
  source.given["detector"] = std::string("line");
  source.given["threshold_split_neighbor"] = false;
  source.given["threshold_split"] = 0.08;
  source.given["min_points_per_line"] = std::int64_t{12};
  source.given["orthogonal_refit"] = true;
  source.given["max_intensity"] = 256.0;
  const PluginOptions options = read_plugin_options(source, 0.02, false);

  const ScanDetectorSettings & detector = options.logic.detector;
  EXPECT_EQ(detector.variant, DetectorVariant::kLine);
  EXPECT_FALSE(detector.splitting.threshold_split_neighbor);
  EXPECT_DOUBLE_EQ(detector.splitting.threshold_split, 0.08);
  EXPECT_EQ(detector.splitting.min_points_per_line, 12);
  EXPECT_TRUE(detector.orthogonal_refit);
  EXPECT_DOUBLE_EQ(detector.band.max_intensity, 256.0);
  EXPECT_DOUBLE_EQ(detector.band.min_intensity, 250.0) << "the programs' default";
  EXPECT_EQ(detector.angle_type, 1) << "align_node's default";

  for (const char * name : {"min_range", "max_range", "min_length", "min_points_per_unit", "points_max_distance",
      "target_angle", "angle_error", "two_sided_angle_test", "weights_angle_error", "times", "anti_pose_angle",
      "detection_translation_x", "detection_rotation_yaw", "dock_search_radius", "docking_threshold",
      "check_heading", "heading_tolerance", "check_lateral_offset", "scan_topic", "staging_x_offset"})
  {
    ASSERT_TRUE(source.descriptions.count(name)) << name;
    EXPECT_FALSE(source.descriptions[name].empty()) << name;
  }
}

TEST(PluginOptions, DockingDefaultsAndTheReleaseTimeFromTheControlPeriod)
{
  TableSource source = scene_source();
  source.given["release_after_periods"] = 5.0;
  const PluginOptions options = read_plugin_options(source, 0.02, true);
  EXPECT_EQ(options.logic.detector.variant, DetectorVariant::kFeature);
  EXPECT_DOUBLE_EQ(options.logic.release_after, 0.1);
  EXPECT_TRUE(options.logic.docked.backward);
  EXPECT_FALSE(options.logic.docked.check_heading) << "Nav2's distance check unless asked";
  EXPECT_DOUBLE_EQ(options.logic.docked.docking_threshold, 0.05);
  EXPECT_DOUBLE_EQ(options.logic.detection_to_dock.translation_x, -0.20);
  EXPECT_EQ(options.scan_topic, "scan");
}

TEST(PluginOptions, RefusesWhatCannotWorkNamingTheParameter)
{
  auto problem_of = [](TableSource source) -> std::string {
      try {
        read_plugin_options(source, 0.02, false);
      } catch (const std::invalid_argument & error) {
        return error.what();
      }
      return "";
    };
  TableSource source = scene_source();
  source.given["detector"] = std::string("lines");
  EXPECT_NE(problem_of(source).find("'detector'"), std::string::npos);

  source = scene_source();
  source.given["times"] = std::int64_t{1} << 40;
  EXPECT_NE(problem_of(source).find("'times'"), std::string::npos);

  source = scene_source();
  source.given["times"] = std::int64_t{0};
  EXPECT_NE(problem_of(source).find("'times'"), std::string::npos);

  EXPECT_NE(problem_of(TableSource{}).find("min_line_len"), std::string::npos) << "the code defaults admit no plate";

  source = scene_source();
  source.given["detection_timeout"] = -1.0;
  EXPECT_NE(problem_of(source).find("detection_timeout"), std::string::npos);
}

}  // namespace
}  // namespace align_nav2_dock
