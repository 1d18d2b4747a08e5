#ifndef FEATURE__FEATURE_NODE_HPP_
#define FEATURE__FEATURE_NODE_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "align_model/feature_manager.hpp"
#include "align_model/near_success.hpp"
#include "align_model/pose.hpp"
#include "align_model/segment_refit.hpp"
#include "align_model/static_frame_listener.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "program/detection_diagnostics.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tuw_geometry/linesegment2d.hpp"
#include "tuw_geometry/linesegment2d_detector.hpp"
#include "visualization_msgs/msg/marker.hpp"
#include "zephyrax_protocol/msg/align.hpp"

namespace align_model
{

// Finds the V-shaped docking target in the rear laser scan and publishes its
// pose in the publish frame.
class FeatureNode : public rclcpp::Node
{
public:
  // Throws when a parameter override has the wrong type or `times` is outside
  // 1..10000.
  explicit FeatureNode(const rclcpp::NodeOptions & options);
  ~FeatureNode() override;

  // For tools that must wait until the laser transform is stored.
  std::shared_ptr<const StaticFrameListener> frame_listener() const;
  // The configuration the line detector was given at start-up.
  const tuw::LineSegment2DDetectorParameter & detector_configuration() const;
  // Where the scans left the pipeline, for tools and diagnostics.
  const DetectionFunnel & detection_funnel() const;

private:
  void declare_parameters();
  void create_debug_publishers();
  void laser_callback(std::shared_ptr<const sensor_msgs::msg::LaserScan> msg);
  void find_features(std::vector<tuw::LineSegment2D> & lines);

  // Helpers of the scan pipeline.
  double declare_double(const std::string & name, double default_value, const std::string & description);
  std::int32_t declare_int32(const std::string & name, std::int32_t default_value, const std::string & description);
  std::string declare_string(
    const std::string & name, const std::string & default_value, const std::string & description);
  std::vector<tuw::Point2D> extract_publish_frame_points(
    const sensor_msgs::msg::LaserScan & scan, const tf2::Transform & laser_to_publish) const;
  void record_success(bool found);
  void record_stage(FunnelStage stage);
  void publish_outputs(
    std::shared_ptr<sensor_msgs::msg::LaserScan> selected_scan,
    const std::vector<tuw::LineSegment2D> & lines, const std::shared_ptr<Pose> & target_pose,
    const builtin_interfaces::msg::Time & scan_stamp);

  std::shared_ptr<tuw::LineSegment2DDetector> detector_;
  RefitWorkspace refit_workspace_;
  std::shared_ptr<FeatureManager> feature_manager_;
  std::shared_ptr<StaticFrameListener> frame_listener_;
  rclcpp::Subscription<zephyrax_protocol::msg::Align>::SharedPtr enable_subscription_;
  bool enable_ = false;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr scan_subscription_;
  rclcpp::Publisher<geometry_msgs::msg::PoseStamped>::SharedPtr pose_publisher_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_publisher_;
  rclcpp::Publisher<visualization_msgs::msg::Marker>::SharedPtr marker_publisher_;
  // Only when `dock_pose_topic` is set.
  rclcpp::Publisher<geometry_msgs::msg::PoseStamped>::SharedPtr dock_pose_publisher_;
  NearSuccess near_success_;
  DetectionFunnel funnel_;
  PairCounts pair_counts_;  // of the latest corner search

  double min_angle_ = 0.0;
  double max_angle_ = 0.0;
  double min_intensity_ = 0.0;
  double max_intensity_ = 0.0;
  double min_range_ = 0.0;
  double max_range_ = 0.0;
  double points_max_distance_ = 0.0;
  double min_line_len_ = 0.0;
  double max_line_len_ = 0.0;
  double target_angle_ = 0.0;
  double angle_error_ = 0.0;
  std::int32_t angle_type_ = 0;
  bool anti_pose_angle_ = false;
  bool two_sided_angle_test_ = false;
  RefitMethod refit_method_ = RefitMethod::kLeastSquares;
  double weights_angle_error_ = 0.0;
  double weights_distance_anti_x_ = 0.0;
  double weights_distance_last_f_ = 0.0;
  std::int32_t times_ = 0;
  std::string enable_topic_;
  std::string scan_topic_;
  std::string publish_frame_;
  std::string pose_stamped_topic_;
  bool debug_ = false;
  rclcpp::QoS scan_qos_{1};
  std::string dock_pose_topic_;
  bool diagnostics_ = false;
  std::shared_ptr<tuw::LineSegment2DDetectorParameter> detector_parameter_;
  // Only with the parameter `diagnostics`; declared last, destroyed first.
  std::unique_ptr<align_program::DetectionDiagnostics> diagnostics_reporter_;
};

}  // namespace align_model

#endif  // FEATURE__FEATURE_NODE_HPP_
