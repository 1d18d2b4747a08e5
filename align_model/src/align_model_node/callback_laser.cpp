// Per-scan processing of AlignNode: window check, points in the base frame,
// segments, target line search and outputs.
#include <cstddef>
#include <utility>

#include "align_model/angles.hpp"
#include "align_model/detector_configuration.hpp"
#include "align_model/dock_pose.hpp"
#include "align_model/scan_points.hpp"
#include "align_model/segment_refit.hpp"
#include "align_model/select_scan_data_from_angle.hpp"
#include "align_model/target_messages.hpp"
#include "align_model_node/align_node.hpp"

namespace align_node
{
namespace
{

double to_degrees(double radians)
{
  return radians * 180.0 / align_model::kPi;
}

// Sizes go to "%ld" as long, whatever std::size_t is on the platform.
long as_long(std::size_t count)
{
  return static_cast<long>(count);
}

}  // namespace

void AlignNode::callback_laser(std::shared_ptr<const sensor_msgs::msg::LaserScan> scan)
{
  RCLCPP_DEBUG(
    get_logger(),
    "\n\n\nGet BACK_SCAN laser data, min_angle %.7f, max_angle %.7f, step_angle %.7f, size %ld.",
    scan->angle_min, scan->angle_max, scan->angle_increment, as_long(scan->ranges.size()));

  if (!enable_) {
    RCLCPP_DEBUG(get_logger(), "Align enable signal is FALSE.");
    record_stage(align_model::FunnelStage::kDisabled);
    return;
  }

  // One read per scan, so that a change in the middle of a scan cannot mix
  // debug and non-debug outputs.
  const bool debug = get_parameter("debug").as_bool();
  if (debug && !scan_publisher_) {
    create_debug_publishers();
  }

  if (!select_window(*scan, debug)) {
    record_stage(align_model::FunnelStage::kWindowFailed);
    return;
  }

  const std::vector<tuw::Point2D> points = extract_base_points(*scan);
  std::vector<tuw::LineSegment2D> segments = detect_segments(points);
  if (parameter_->angle_type > 0) {
    align_model::refit_segments(
      points, segments, refit_workspace_,
      parameter_->orthogonal_refit ? align_model::RefitMethod::kOrthogonal : align_model::RefitMethod::kLeastSquares);
  }
  if (debug) {
    marker_publisher_->publish(
      align_model::make_segment_marker(parameter_->base_frame_id, now(), segments));
  }

  align_model::PairCounts pairs;
  const std::optional<align_model::TargetLines> lines = search_target_lines(segments, pairs);
  if (!lines) {
    RCLCPP_DEBUG(get_logger(), "Do not find target feature.");
    record_stage(align_model::stage_after_search(points.size(), segments.size(), pairs, false));
    return;
  }
  const bool published = publish_target(*lines, debug, scan->header.stamp);
  record_stage(align_model::stage_after_search(points.size(), segments.size(), pairs, published));
}

void AlignNode::record_stage(align_model::FunnelStage stage)
{
  funnel_.record(stage);
  if (diagnostics_reporter_) {
    diagnostics_reporter_->record(stage);
  }
}

const align_model::DetectionFunnel & AlignNode::detection_funnel() const
{
  return funnel_;
}

bool AlignNode::select_window(const sensor_msgs::msg::LaserScan & scan, bool debug)
{
  // The window only checks that the scan covers the rear half and feeds the
  // debug copy; the points below come from the whole scan.
  sensor_msgs::msg::LaserScan selected;
  if (!align_model::select_scan_window(
      scan, selected, -align_model::kHalfPi, align_model::kHalfPi,
      align_model::TurnCount::kTwoPiOverIncrement))
  {
    RCLCPP_ERROR(get_logger(), "select_scan_data_from_angle is FAILED, maybe select data out of range.");
    return false;
  }
  RCLCPP_DEBUG(
    get_logger(), "SOURCE_SCAN_DATA lens %ld, SCAN_SELECT lens %ld, from %.4f to %.4f.",
    as_long(scan.ranges.size()), as_long(selected.ranges.size()),
    to_degrees(selected.angle_min), to_degrees(selected.angle_max));
  if (debug) {
    scan_publisher_->publish(selected);
  }
  return true;
}

std::vector<tuw::Point2D> AlignNode::extract_base_points(const sensor_msgs::msg::LaserScan & scan) const
{
  align_model::RangeIntensityBand band;
  band.min_range = parameter_->min_range;
  band.max_range = parameter_->max_range;
  band.min_intensity = parameter_->min_intensity;
  band.max_intensity = parameter_->max_intensity;

  std::vector<tuw::Point2D> points;
  align_model::extract_points(scan, band, points);
  RCLCPP_DEBUG(get_logger(), "POINT_DATA lens %ld.", as_long(points.size()));

  align_model::transform_points_to_base(
    parameter_->laser_to_base_x, parameter_->laser_to_base_y, parameter_->laser_to_base_th, points);
  align_model::place_far_point_past_end(points);
  return points;
}

std::vector<tuw::LineSegment2D> AlignNode::detect_segments(const std::vector<tuw::Point2D> & points)
{
  // The holder may have changed since the last scan.
  detector_->config_ = align_model::detector_configuration_from(parameter_->detector_parameter);
  std::vector<tuw::LineSegment2D> segments;
  detector_->start(points, segments);

  RCLCPP_DEBUG(get_logger(), "LINE_SEGMENT lens %ld.", as_long(segments.size()));
  for (const auto & segment : segments) {
    RCLCPP_DEBUG(
      get_logger(), "\t start point (%1.4f, %1.4f), end point (%1.4f, %1.4f).",
      segment.x0(), segment.y0(), segment.x1(), segment.y1());
  }
  return segments;
}

std::optional<align_model::TargetLines> AlignNode::search_target_lines(
  const std::vector<tuw::LineSegment2D> & segments, align_model::PairCounts & counts) const
{
  align_model::TargetLineParameters search;
  search.points_max_distance = parameter_->points_max_distance;
  search.min_line_len = parameter_->min_line_len;
  search.max_line_len = parameter_->max_line_len;
  search.target_angle = parameter_->target_angle;
  search.angle_error = parameter_->angle_error;

  align_model::TargetLineTrace trace;
  trace.on_error = [this](std::size_t i, std::size_t j, double error) {
      RCLCPP_DEBUG(
        get_logger(), "ERROR_DATA(angle) from %ld to %ld is %f.",
        as_long(i), as_long(j), to_degrees(error));
    };
  trace.on_accept = [this](const align_model::TargetLines & best) {
      RCLCPP_DEBUG(
        get_logger(),
        "Find TARGET_LINES: %ld [p1(%.4f, %.4f), p2(%.4f, %.4f)] and %ld [p1(%.4f, %.4f), p2(%.4f, %.4f)].",
        as_long(best.i), best.a.x0(), best.a.y0(), best.a.x1(), best.a.y1(),
        as_long(best.j), best.b.x0(), best.b.y0(), best.b.x1(), best.b.y1());
    };

  RCLCPP_DEBUG(get_logger(), "Try to find feartues.");
  return align_model::find_target_lines(segments, search, trace, &counts);
}

bool AlignNode::publish_target(
  const align_model::TargetLines & lines, bool debug, const builtin_interfaces::msg::Time & scan_stamp)
{
  const std::optional<align_model::TargetPose> pose = align_model::compute_target_pose(
    lines.a, lines.b, parameter_->angle_type, parameter_->anti_pose_angle);
  if (!pose) {
    // Parallel lines have no corner; the debug outputs already went out.
    return false;
  }
  RCLCPP_DEBUG(
    get_logger(), "TARGET_POSE: [x: %2.4f, y: %2.4f, theta: %3.2f].",
    pose->x, pose->y, to_degrees(pose->theta));

  const std::string & frame_id = parameter_->base_frame_id;
  if (debug) {
    marker_publisher_->publish(
      align_model::make_target_marker(frame_id, now(), pose->x, pose->y, pose->theta));
  }
  const geometry_msgs::msg::PoseStamped target_pose =
    align_model::make_target_pose(frame_id, now(), pose->x, pose->y, pose->theta);
  pose_publisher_->publish(target_pose);
  if (dock_pose_publisher_) {
    dock_pose_publisher_->publish(align_model::make_dock_pose(target_pose, scan_stamp));
  }
  return true;
}

}  // namespace align_node
