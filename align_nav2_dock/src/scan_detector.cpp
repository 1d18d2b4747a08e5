#include "align_nav2_dock/scan_detector.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "align_model/angles.hpp"
#include "align_model/corner_search.hpp"
#include "align_model/detector_configuration.hpp"
#include "align_model/select_scan_data_from_angle.hpp"
#include "align_model/target_lines.hpp"

namespace align_nav2_dock
{
namespace
{

align_model::RefitMethod refit_method_of(const ScanDetectorSettings & settings)
{
  return settings.orthogonal_refit ? align_model::RefitMethod::kOrthogonal : align_model::RefitMethod::kLeastSquares;
}

// The points of another target, a wall or the robot's own body are dropped
// before the line detector sees them. The slot past the end that
// place_far_point_past_end() fills stays inside the capacity that
// extract_points() reserved, since this only shrinks the list.
void keep_region(const SearchRegion & region, std::vector<tuw::Point2D> & points)
{
  const double radius_squared = region.radius * region.radius;
  points.erase(
    std::remove_if(
      points.begin(), points.end(), [&](const tuw::Point2D & point) {
        const double dx = point.x() - region.center_x;
        const double dy = point.y() - region.center_y;
        return dx * dx + dy * dy > radius_squared;
      }),
    points.end());
}

}  // namespace

tuw::LineSegment2DDetectorParameter program_default_splitting()
{
  tuw::LineSegment2DDetectorParameter splitting;
  splitting.threshold_split_neighbor = true;
  splitting.threshold_split = 0.01;
  splitting.min_length = 0.05;
  splitting.min_points_per_line = 5;
  splitting.min_points_per_unit = 5;
  return splitting;
}

std::optional<DetectorVariant> detector_variant_from(const std::string & name)
{
  if (name == "feature") {
    return DetectorVariant::kFeature;
  }
  if (name == "line") {
    return DetectorVariant::kLine;
  }
  return std::nullopt;
}

std::optional<std::string> settings_problem(const ScanDetectorSettings & settings)
{
  constexpr int kMaxTimes = align_model::kMaxSmoothingTimes;
  if (settings.variant == DetectorVariant::kFeature && (settings.times < 1 || settings.times > kMaxTimes)) {
    return "'times' must lie in 1.." + std::to_string(kMaxTimes) + ", got " + std::to_string(settings.times);
  }
  if (!(settings.min_line_len <= settings.max_line_len)) {
    return "min_line_len " + std::to_string(settings.min_line_len) + " is above max_line_len " +
           std::to_string(settings.max_line_len) + ": no plate can pass; set both for the target";
  }
  return std::nullopt;
}

ScanDetector::ScanDetector(const ScanDetectorSettings & settings)
: settings_(settings)
{
  if (const std::optional<std::string> problem = settings_problem(settings_)) {
    throw std::invalid_argument(*problem);
  }
  line_detector_.config_ = align_model::detector_configuration_from(settings_.splitting);
  reset();
}

void ScanDetector::reset()
{
  if (settings_.variant == DetectorVariant::kFeature) {
    feature_manager_ = std::make_unique<align_model::FeatureManager>(
      static_cast<float>(settings_.weights_angle_error), static_cast<float>(settings_.weights_distance_anti_x),
      static_cast<float>(settings_.weights_distance_last_f), settings_.times);
  }
}

ScanDetection ScanDetector::detect(
  const sensor_msgs::msg::LaserScan & scan, const align_model::PlanarTransform & laser_to_base,
  const std::optional<SearchRegion> & region)
{
  ScanDetection detection;
  if (!window_covered(scan)) {
    detection.stage = align_model::FunnelStage::kWindowFailed;
    return detection;
  }
  align_model::extract_points(scan, settings_.band, points_);
  align_model::transform_points(laser_to_base, points_);
  if (region && region->radius > 0.0) {
    keep_region(*region, points_);
  }
  align_model::place_far_point_past_end(points_);

  std::vector<tuw::LineSegment2D> lines;
  line_detector_.start(points_, lines);
  const bool refit = settings_.variant == DetectorVariant::kFeature || settings_.angle_type > 0;
  if (refit) {
    align_model::refit_segments(points_, lines, refit_workspace_, refit_method_of(settings_));
  }

  align_model::PairCounts pairs;
  detection.corner = settings_.variant == DetectorVariant::kFeature ?
    find_feature_corner(lines, pairs) : find_line_corner(lines, pairs);
  detection.stage = align_model::stage_after_search(points_.size(), lines.size(), pairs, detection.corner.has_value());
  return detection;
}

bool ScanDetector::window_covered(const sensor_msgs::msg::LaserScan & scan) const
{
  if (settings_.variant == DetectorVariant::kFeature) {
    return align_model::scan_covers_window(
      scan, settings_.min_angle, settings_.max_angle, align_model::TurnCount::kOffsetOfAngleMin);
  }
  return align_model::scan_covers_window(
    scan, -align_model::kHalfPi, align_model::kHalfPi, align_model::TurnCount::kTwoPiOverIncrement);
}

std::optional<PlanarPose> ScanDetector::find_feature_corner(
  std::vector<tuw::LineSegment2D> & lines, align_model::PairCounts & pairs)
{
  align_model::CornerSearchParameters parameters;
  parameters.min_line_len = settings_.min_line_len;
  parameters.max_line_len = settings_.max_line_len;
  parameters.points_max_distance = settings_.points_max_distance;
  parameters.target_angle = settings_.target_angle;
  parameters.angle_error = settings_.angle_error;
  parameters.two_sided_angle_test = settings_.two_sided_angle_test;

  std::vector<std::shared_ptr<align_model::Feature>> features;
  const align_model::CornerSearchCounts counts = align_model::search_corners(lines, parameters, features);
  pairs = align_model::PairCounts{counts.count_lens, counts.count_near, static_cast<int>(features.size())};
  for (const auto & feature : features) {
    feature_manager_->add_feature(feature);
  }
  const std::shared_ptr<align_model::Pose> pose = feature_manager_->evaluate().get_pose();
  feature_manager_->next_frame();
  if (!pose) {
    return std::nullopt;
  }
  return PlanarPose{pose->x, pose->y, pose->theta};
}

std::optional<PlanarPose> ScanDetector::find_line_corner(
  const std::vector<tuw::LineSegment2D> & lines, align_model::PairCounts & pairs) const
{
  align_model::TargetLineParameters search;
  search.points_max_distance = settings_.points_max_distance;
  search.min_line_len = settings_.min_line_len;
  search.max_line_len = settings_.max_line_len;
  search.target_angle = settings_.target_angle;
  search.angle_error = settings_.angle_error;
  const std::optional<align_model::TargetLines> target = align_model::find_target_lines(lines, search, {}, &pairs);
  if (!target) {
    return std::nullopt;
  }
  const std::optional<align_model::TargetPose> pose =
    align_model::compute_target_pose(target->a, target->b, settings_.angle_type, settings_.anti_pose_angle);
  if (!pose) {
    return std::nullopt;
  }
  return PlanarPose{pose->x, pose->y, pose->theta};
}

}  // namespace align_nav2_dock
