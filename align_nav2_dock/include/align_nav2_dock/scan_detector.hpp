// Either program's per-scan pipeline, in-process and free of nodes: the
// range and intensity band, the line detector, the refit, the corner search
// and (feature program) the scoring and smoothing of candidates. What the
// dock plugin runs on each scan while a docking action needs detections.
#ifndef ALIGN_NAV2_DOCK__SCAN_DETECTOR_HPP_
#define ALIGN_NAV2_DOCK__SCAN_DETECTOR_HPP_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "align_model/feature_manager.hpp"
#include "align_model/scan_points.hpp"
#include "align_model/segment_refit.hpp"
#include "align_nav2_dock/planar_pose.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tuw_geometry/linesegment2d_detector.hpp"

namespace align_nav2_dock
{

enum class DetectorVariant
{
  kFeature,  // align_feature_node's pipeline: every corner scored, the choice smoothed
  kLine,  // align_node's pipeline: the pair nearest the target angle
};

// "feature" or "line"; empty for anything else.
std::optional<DetectorVariant> detector_variant_from(const std::string & name);

// The line detector's parameters as both programs declare them by default.
tuw::LineSegment2DDetectorParameter program_default_splitting();

// The programs' parameters, with their names and code defaults.
struct ScanDetectorSettings
{
  DetectorVariant variant = DetectorVariant::kFeature;
  double min_angle = -3.14;  // feature: the angle window the scan must cover
  double max_angle = 3.14;
  align_model::RangeIntensityBand band{0.01, 2.0, 250.0, 255.0};
  tuw::LineSegment2DDetectorParameter splitting = program_default_splitting();
  double points_max_distance = 0.03;
  double min_line_len = 0.1;
  double max_line_len = 0.07;
  double target_angle = 1.047;
  double angle_error = 0.2;
  bool two_sided_angle_test = false;  // feature only
  bool orthogonal_refit = false;
  double weights_angle_error = 0.1;  // feature: candidate scoring and smoothing
  double weights_distance_anti_x = 0.1;
  double weights_distance_last_f = 0.1;
  int times = 5;
  int angle_type = 1;  // line: the heading rule, and the refit only for angle_type > 0
  bool anti_pose_angle = false;
};

// Why the settings cannot work, or empty: a smoothing history out of
// 1..10000, or a length window that admits no plate.
std::optional<std::string> settings_problem(const ScanDetectorSettings & settings);

// Only the points within `radius` of `center` (base frame) take part: the
// corner of the requested dock, not another target in view.
struct SearchRegion
{
  double center_x = 0.0;
  double center_y = 0.0;
  double radius = 0.0;
};

struct ScanDetection
{
  align_model::FunnelStage stage = align_model::FunnelStage::kWindowFailed;
  std::optional<PlanarPose> corner;  // base frame; x axis out of the opening
};

class ScanDetector
{
public:
  // Throws std::invalid_argument when settings_problem() names one.
  explicit ScanDetector(const ScanDetectorSettings & settings);

  ScanDetection detect(
    const sensor_msgs::msg::LaserScan & scan, const align_model::PlanarTransform & laser_to_base,
    const std::optional<SearchRegion> & region = std::nullopt);

  // Forgets the smoothing history, so that a new docking starts afresh.
  void reset();

private:
  bool window_covered(const sensor_msgs::msg::LaserScan & scan) const;
  std::optional<PlanarPose> find_feature_corner(
    std::vector<tuw::LineSegment2D> & lines, align_model::PairCounts & pairs);
  std::optional<PlanarPose> find_line_corner(
    const std::vector<tuw::LineSegment2D> & lines, align_model::PairCounts & pairs) const;

  ScanDetectorSettings settings_;
  tuw::LineSegment2DDetector line_detector_;
  align_model::RefitWorkspace refit_workspace_;
  std::unique_ptr<align_model::FeatureManager> feature_manager_;
  std::vector<tuw::Point2D> points_;
};

}  // namespace align_nav2_dock

#endif  // ALIGN_NAV2_DOCK__SCAN_DETECTOR_HPP_
