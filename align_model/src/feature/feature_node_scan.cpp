// The per-scan pipeline: gates, window selection, points, segments, corner
// search, candidate choice and outputs.
#include <memory>
#include <vector>

#include "align_model/angles.hpp"
#include "align_model/corner_search.hpp"
#include "align_model/dock_pose.hpp"
#include "align_model/scan_points.hpp"
#include "align_model/segment_refit.hpp"
#include "align_model/select_scan_data_from_angle.hpp"
#include "align_model/target_messages.hpp"
#include "feature/feature_node.hpp"

namespace align_model
{
namespace
{

PlanarTransform to_planar(const tf2::Transform & transform)
{
  const tf2::Matrix3x3 & basis = transform.getBasis();
  const tf2::Vector3 & origin = transform.getOrigin();
  PlanarTransform planar;
  planar.r00 = basis[0][0];
  planar.r01 = basis[0][1];
  planar.r02 = basis[0][2];
  planar.r10 = basis[1][0];
  planar.r11 = basis[1][1];
  planar.r12 = basis[1][2];
  planar.tx = origin.x();
  planar.ty = origin.y();
  return planar;
}

long count_of(std::size_t size)
{
  return static_cast<long>(size);
}

}  // namespace

void FeatureNode::laser_callback(std::shared_ptr<const sensor_msgs::msg::LaserScan> msg)
{
  RCLCPP_DEBUG(get_logger(), "Get BACK_SCAN laser data, size %ld.", count_of(msg->ranges.size()));
  if (!enable_) {
    RCLCPP_DEBUG(get_logger(), "Align enable signal is FALSE.");
    record_stage(FunnelStage::kDisabled);
    return;
  }

  const std::string & laser_frame = msg->header.frame_id;
  if (!frame_listener_->has_transform(publish_frame_, laser_frame)) {
    RCLCPP_DEBUG(get_logger(), "Get tf_trans failed.");
    record_stage(FunnelStage::kNoTransform);
    return;
  }
  const tf2::Transform laser_to_publish = frame_listener_->get_transform(publish_frame_, laser_frame);

  auto selected_scan = std::make_shared<sensor_msgs::msg::LaserScan>();
  if (!select_scan_data_from_angle(msg, selected_scan, min_angle_, max_angle_)) {
    RCLCPP_ERROR(get_logger(), "select_scan_data_from_angle is FAILED, maybe select data out of range.");
    record_stage(FunnelStage::kWindowFailed);
    return;
  }
  RCLCPP_DEBUG(get_logger(), "SCAN_SELECT lens %ld.", count_of(selected_scan->ranges.size()));

  const std::vector<tuw::Point2D> points = extract_publish_frame_points(*msg, laser_to_publish);

  std::vector<tuw::LineSegment2D> lines;
  detector_->start(points, lines);
  RCLCPP_DEBUG(get_logger(), "LINE_SEGMENT lens %ld.", count_of(lines.size()));
  refit_segments(points, lines, refit_workspace_, refit_method_);
  RCLCPP_DEBUG(get_logger(), "Try to find feartues.");

  find_features(lines);

  const std::shared_ptr<Pose> target_pose = feature_manager_->evaluate().get_pose();
  feature_manager_->next_frame();
  record_success(target_pose != nullptr);
  record_stage(stage_after_search(points.size(), lines.size(), pair_counts_, target_pose != nullptr));

  publish_outputs(selected_scan, lines, target_pose, msg->header.stamp);
}

std::vector<tuw::Point2D> FeatureNode::extract_publish_frame_points(
  const sensor_msgs::msg::LaserScan & scan, const tf2::Transform & laser_to_publish) const
{
  RangeIntensityBand band;
  band.min_range = min_range_;
  band.max_range = max_range_;
  band.min_intensity = min_intensity_;
  band.max_intensity = max_intensity_;

  std::vector<tuw::Point2D> points;
  extract_points(scan, band, points);
  RCLCPP_DEBUG(get_logger(), "POINT_DATA lens %ld.", count_of(points.size()));
  transform_points(to_planar(laser_to_publish), points);
  place_far_point_past_end(points);
  return points;
}

void FeatureNode::find_features(std::vector<tuw::LineSegment2D> & lines)
{
  CornerSearchParameters parameters;
  parameters.min_line_len = min_line_len_;
  parameters.max_line_len = max_line_len_;
  parameters.points_max_distance = points_max_distance_;
  parameters.target_angle = target_angle_;
  parameters.angle_error = angle_error_;
  parameters.two_sided_angle_test = two_sided_angle_test_;

  CornerSearchTrace trace;
  trace.on_distance = [this](double distance) {
      RCLCPP_DEBUG(get_logger(), "Find distance %.3f.", distance);
    };
  trace.on_angle = [this](double l2_angle, double l1_angle, double target_angle, double real_angle) {
      RCLCPP_DEBUG(
        get_logger(), "Find l2->angle() %.3f, l1->angle() %.3f, target_angle_ %.3f, real_angle %.3f.",
        l2_angle, l1_angle, target_angle, real_angle);
    };

  std::vector<std::shared_ptr<Feature>> features;
  const CornerSearchCounts counts = search_corners(lines, parameters, features, trace);
  pair_counts_ = PairCounts{counts.count_lens, counts.count_near, static_cast<int>(features.size())};
  for (const auto & feature : features) {
    feature_manager_->add_feature(feature);
  }
  RCLCPP_DEBUG(
    get_logger(), "Patch details : count_lens %2d, count_near %2d, count_angle %2d.",
    counts.count_lens, counts.count_near, counts.count_angle);
}

void FeatureNode::record_success(bool found)
{
  const double rate = near_success_.record(found);
  RCLCPP_DEBUG(get_logger(), "Find status is %s, NEAR SUCCESS is %2.3f.", found ? " TRUE" : "FALSE", rate);
}

void FeatureNode::record_stage(FunnelStage stage)
{
  funnel_.record(stage);
  if (diagnostics_reporter_) {
    diagnostics_reporter_->record(stage);
  }
}

const DetectionFunnel & FeatureNode::detection_funnel() const
{
  return funnel_;
}

void FeatureNode::publish_outputs(
  std::shared_ptr<sensor_msgs::msg::LaserScan> selected_scan,
  const std::vector<tuw::LineSegment2D> & lines, const std::shared_ptr<Pose> & target_pose,
  const builtin_interfaces::msg::Time & scan_stamp)
{
  // One stamp for everything this scan publishes, so that viewers and
  // consumers can match the outputs of one scan.
  const builtin_interfaces::msg::Time stamp = now();

  if (debug_) {
    selected_scan->header.stamp = stamp;
    scan_publisher_->publish(*selected_scan);
    marker_publisher_->publish(make_segment_marker(publish_frame_, stamp, lines));
    if (target_pose) {
      marker_publisher_->publish(
        make_target_marker(publish_frame_, stamp, target_pose->x, target_pose->y, target_pose->theta));
    } else {
      marker_publisher_->publish(make_target_marker(publish_frame_, stamp));
    }
  }

  if (!target_pose) {
    RCLCPP_DEBUG(get_logger(), "TARGET_POSE do not found.");
    return;
  }
  const double theta_degrees = static_cast<double>(180.0f * target_pose->theta) / kPi;
  RCLCPP_DEBUG(
    get_logger(), "TARGET_POSE: [x: %2.4f, y: %2.4f, theta: %3.2f].",
    static_cast<double>(target_pose->x), static_cast<double>(target_pose->y), theta_degrees);
  const geometry_msgs::msg::PoseStamped pose =
    make_target_pose(publish_frame_, stamp, target_pose->x, target_pose->y, target_pose->theta);
  pose_publisher_->publish(pose);
  if (dock_pose_publisher_) {
    dock_pose_publisher_->publish(make_dock_pose(pose, scan_stamp));
  }
}

}  // namespace align_model
