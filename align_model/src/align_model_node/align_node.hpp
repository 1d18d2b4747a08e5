#ifndef ALIGN_MODEL_NODE__ALIGN_NODE_HPP_
#define ALIGN_MODEL_NODE__ALIGN_NODE_HPP_

#include <memory>
#include <optional>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "align_model/segment_refit.hpp"
#include "align_model/target_lines.hpp"
#include "align_model_node/align_parameter.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "program/detection_diagnostics.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_srvs/srv/set_bool.hpp"
#include "tuw_geometry/linesegment2d.hpp"
#include "tuw_geometry/linesegment2d_detector.hpp"
#include "tuw_geometry/point2d.hpp"
#include "visualization_msgs/msg/marker.hpp"

namespace align_node
{

// The line alignment node: finds the docking target's corner in the rear
// scan as the pair of touching segments closest to the target angle, and
// publishes its pose in the base frame.
class AlignNode : public rclcpp::Node
{
public:
  explicit AlignNode(const rclcpp::NodeOptions & options);
  ~AlignNode() override;

  // Processes one scan from log line to published pose.
  void callback_laser(std::shared_ptr<const sensor_msgs::msg::LaserScan> scan);

  // Creates the "align_scan" and "align_marker" publishers; they are never
  // removed afterwards.
  void create_debug_publishers();

  // Where the scans left the pipeline, for tools and diagnostics.
  const align_model::DetectionFunnel & detection_funnel() const;

private:
  void handle_enable(
    const std::shared_ptr<std_srvs::srv::SetBool::Request> request,
    std::shared_ptr<std_srvs::srv::SetBool::Response> response);

  // Steps of callback_laser; each returns false when the scan ends there.
  bool select_window(const sensor_msgs::msg::LaserScan & scan, bool debug);
  std::vector<tuw::Point2D> extract_base_points(const sensor_msgs::msg::LaserScan & scan) const;
  std::vector<tuw::LineSegment2D> detect_segments(const std::vector<tuw::Point2D> & points);
  std::optional<align_model::TargetLines> search_target_lines(
    const std::vector<tuw::LineSegment2D> & segments, align_model::PairCounts & counts) const;
  // Returns whether a pose was published.
  bool publish_target(
    const align_model::TargetLines & lines, bool debug, const builtin_interfaces::msg::Time & scan_stamp);
  void record_stage(align_model::FunnelStage stage);

  std::shared_ptr<tuw::LineSegment2DDetector> detector_;
  align_model::RefitWorkspace refit_workspace_;
  std::shared_ptr<AlignParameter> parameter_;
  rclcpp::Service<std_srvs::srv::SetBool>::SharedPtr enable_service_;
  bool enable_ = true;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr scan_subscription_;
  rclcpp::Publisher<geometry_msgs::msg::PoseStamped>::SharedPtr pose_publisher_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_publisher_;
  rclcpp::Publisher<visualization_msgs::msg::Marker>::SharedPtr marker_publisher_;
  // Only when `dock_pose_topic` is set.
  rclcpp::Publisher<geometry_msgs::msg::PoseStamped>::SharedPtr dock_pose_publisher_;
  align_model::DetectionFunnel funnel_;
  // Only with the parameter `diagnostics` (read once at start-up).
  std::unique_ptr<align_program::DetectionDiagnostics> diagnostics_reporter_;
};

}  // namespace align_node

#endif  // ALIGN_MODEL_NODE__ALIGN_NODE_HPP_
