#include "plugin/laser_v_dock.hpp"

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "align_model/dock_pose.hpp"
#include "pluginlib/class_list_macros.hpp"
#include "tf2/exceptions.h"
#include "tf2/time.h"

#include "plugin/node_parameters.hpp"

namespace align_nav2_dock
{
namespace
{

double yaw_of(const geometry_msgs::msg::Quaternion & q)
{
  return std::atan2(2.0 * (q.w * q.z + q.x * q.y), 1.0 - 2.0 * (q.y * q.y + q.z * q.z));
}

geometry_msgs::msg::Quaternion quaternion_of_yaw(double yaw)
{
  const align_model::YawQuaternion yaw_only = align_model::yaw_quaternion(yaw);
  geometry_msgs::msg::Quaternion q;
  q.z = yaw_only.z;
  q.w = yaw_only.w;
  return q;
}

// The laser's mount as the programs take it: the first two rows of the
// rotation (an upside-down laser keeps its flip) and the translation.
align_model::PlanarTransform planar_transform_of(const geometry_msgs::msg::Transform & transform)
{
  const geometry_msgs::msg::Quaternion & q = transform.rotation;
  align_model::PlanarTransform planar;
  planar.r00 = 1.0 - 2.0 * (q.y * q.y + q.z * q.z);
  planar.r01 = 2.0 * (q.x * q.y - q.z * q.w);
  planar.r02 = 2.0 * (q.x * q.z + q.y * q.w);
  planar.r10 = 2.0 * (q.x * q.y + q.z * q.w);
  planar.r11 = 1.0 - 2.0 * (q.x * q.x + q.z * q.z);
  planar.r12 = 2.0 * (q.y * q.z - q.x * q.w);
  planar.tx = transform.translation.x;
  planar.ty = transform.translation.y;
  return planar;
}

PlanarPose planar_pose_of(const geometry_msgs::msg::Transform & transform)
{
  return PlanarPose{transform.translation.x, transform.translation.y, yaw_of(transform.rotation)};
}

tf2::TimePoint time_point_of(const builtin_interfaces::msg::Time & stamp)
{
  return tf2::TimePoint(
    std::chrono::nanoseconds(static_cast<std::int64_t>(stamp.sec) * 1000000000LL + static_cast<std::int64_t>(stamp.nanosec)));
}

// The parameters under the plugin's name; a value that cannot work (or has
// the wrong type) fails the configuration with a line that names it.
PluginOptions read_options(
  const std::shared_ptr<rclcpp_lifecycle::LifecycleNode> & node, const std::string & name, double control_period,
  bool dock_backwards)
{
  try {
    NodeParameterSource source(node, name);
    return read_plugin_options(source, control_period, dock_backwards);
  } catch (const std::exception & error) {
    RCLCPP_ERROR(node->get_logger(), "laser V-dock '%s': %s", name.c_str(), error.what());
    throw;
  }
}

}  // namespace

template<class DockBase>
void LaserVDockBase<DockBase>::configure(
  const rclcpp_lifecycle::LifecycleNode::WeakPtr & parent, const std::string & name,
  std::shared_ptr<tf2_ros::Buffer> tf)
{
  plugin_name_ = name;
  node_ = parent;
  tf_ = std::move(tf);
  auto node = node_.lock();
  if (!node) {
    throw std::runtime_error("laser V-dock '" + name + "': the docking server node is gone");
  }
  logger_ = node->get_logger();
  clock_ = node->get_clock();
  base_frame_ = server_string(*node, "base_frame", "base_link");
  const double frequency = server_number(*node, "controller_frequency", 50.0);
  const bool backwards = server_flag(*node, "dock_backwards", false);
  const PluginOptions options = read_options(node, name, frequency > 0.0 ? 1.0 / frequency : 0.02, backwards);
  scan_topic_ = options.scan_topic;
  staging_x_offset_ = options.staging_x_offset;
  staging_yaw_offset_ = options.staging_yaw_offset;
  first_scan_timeout_ = options.first_scan_timeout;
  transform_timeout_ = options.transform_timeout;
  dock_pose_publisher_ = node->template create_publisher<geometry_msgs::msg::PoseStamped>("dock_pose", 1);
  std::lock_guard<std::mutex> lock(mutex_);
  logic_ = std::make_unique<LaserVDockLogic>(options.logic);
  lookups_ = frame_lookups();
  RCLCPP_INFO(
    logger_, "laser V-dock '%s': %s detector on '%s', listening only while docking", name.c_str(),
    options.logic.detector.variant == DetectorVariant::kFeature ? "feature" : "line", scan_topic_.c_str());
}

template<class DockBase>
void LaserVDockBase<DockBase>::cleanup()
{
  unsubscribe();
  dock_pose_publisher_.reset();
  std::lock_guard<std::mutex> lock(mutex_);
  logic_.reset();
}

template<class DockBase>
void LaserVDockBase<DockBase>::activate()
{
  if (dock_pose_publisher_) {
    dock_pose_publisher_->on_activate();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  active_ = true;
}

template<class DockBase>
void LaserVDockBase<DockBase>::deactivate()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    active_ = false;
  }
  unsubscribe();
  if (dock_pose_publisher_) {
    dock_pose_publisher_->on_deactivate();
  }
}

template<class DockBase>
geometry_msgs::msg::PoseStamped LaserVDockBase<DockBase>::getStagingPose(
  const geometry_msgs::msg::Pose & pose, const std::string & frame)
{
  const PlanarPose dock{pose.position.x, pose.position.y, yaw_of(pose.orientation)};
  const PlanarPose staging = compose(dock, PlanarPose{staging_x_offset_, 0.0, staging_yaw_offset_});
  geometry_msgs::msg::PoseStamped staging_pose;
  staging_pose.header.frame_id = frame;
  staging_pose.header.stamp = clock_->now();
  staging_pose.pose.position.x = staging.x;
  staging_pose.pose.position.y = staging.y;
  staging_pose.pose.orientation = quaternion_of_yaw(staging.yaw);
  return staging_pose;
}

#if ALIGN_NAV2_DOCK_WITH_NON_CHARGING_DOCK
template<class DockBase>
bool LaserVDockBase<DockBase>::getRefinedPose(geometry_msgs::msg::PoseStamped & pose, std::string /*id*/)
{
  // The expected pose tells the requested dock from others of this type.
  return refine(pose);
}
#else
template<class DockBase>
bool LaserVDockBase<DockBase>::getRefinedPose(geometry_msgs::msg::PoseStamped & pose)
{
  return refine(pose);
}
#endif

template<class DockBase>
bool LaserVDockBase<DockBase>::refine(geometry_msgs::msg::PoseStamped & pose)
{
  std::unique_lock<std::mutex> lock(mutex_);
  if (!logic_ || !active_) {
    return false;
  }
  fixed_frame_ = pose.header.frame_id;
  if (logic_->request(now())) {
    lock.unlock();
    subscribe();
    lock.lock();
    if (!logic_) {
      return false;
    }
    // A docking's first request waits for the laser once, so that the
    // server's first look does not fail for want of a subscription that
    // has only just matched.
    scan_arrived_.wait_for(
      lock, std::chrono::duration<double>(first_scan_timeout_), [this]() {return !logic_ || logic_->has_scan();});
    if (!logic_) {
      return false;
    }
  }
  const PlanarPose expected{pose.pose.position.x, pose.pose.position.y, yaw_of(pose.pose.orientation)};
  const double time = now();
  const Refinement refinement = logic_->refine(time, expected, lookups_);
  if (!refinement.dock) {
    if (logic_->warning_due(time)) {
      RCLCPP_WARN(logger_, "laser V-dock '%s': no dock pose: %s", plugin_name_.c_str(), refinement.problem.c_str());
    }
    return false;
  }
  pose.header.stamp = refinement.stamp;
  pose.pose.position.x = refinement.dock->x;
  pose.pose.position.y = refinement.dock->y;
  pose.pose.position.z = 0.0;
  pose.pose.orientation = quaternion_of_yaw(refinement.dock->yaw);
  if (dock_pose_publisher_) {
    dock_pose_publisher_->publish(pose);
  }
  return true;
}

template<class DockBase>
bool LaserVDockBase<DockBase>::isDocked()
{
  std::string fixed_frame;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // Before this docking's first dock pose there is nothing to be near.
    if (!logic_ || fixed_frame_.empty() || !logic_->has_dock()) {
      return false;
    }
    fixed_frame = fixed_frame_;
  }
  PlanarPose robot;
  try {
    robot = planar_pose_of(tf_->lookupTransform(fixed_frame, base_frame_, tf2::TimePointZero).transform);
  } catch (const tf2::TransformException & error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (logic_ && logic_->warning_due(now())) {
      RCLCPP_WARN(
        logger_, "laser V-dock '%s': no robot pose for the docked check: %s", plugin_name_.c_str(), error.what());
    }
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (!logic_) {
    return false;
  }
  const std::optional<DockedState> state = logic_->docked(robot);
  return state && state->docked;
}

template<class DockBase>
void LaserVDockBase<DockBase>::subscribe()
{
  auto node = node_.lock();
  if (!node) {
    return;
  }
  // Best effort matches every laser driver, reliable or not.
  scan_subscription_ = node->template create_subscription<sensor_msgs::msg::LaserScan>(
    scan_topic_, rclcpp::SensorDataQoS(),
    [this](std::shared_ptr<const sensor_msgs::msg::LaserScan> scan) {on_scan(std::move(scan));});
  const auto period = std::chrono::duration<double>(logic_->settings().release_after / 2.0);
  idle_timer_ = node->create_wall_timer(
    std::chrono::duration_cast<std::chrono::nanoseconds>(period), [this]() {release_if_idle();});
}

template<class DockBase>
void LaserVDockBase<DockBase>::unsubscribe()
{
  if (idle_timer_) {
    idle_timer_->cancel();
  }
  idle_timer_.reset();
  scan_subscription_.reset();
  std::lock_guard<std::mutex> lock(mutex_);
  if (logic_) {
    logic_->release();
  }
}

template<class DockBase>
void LaserVDockBase<DockBase>::release_if_idle()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!logic_ || !logic_->release_due(now())) {
      return;
    }
  }
  unsubscribe();
}

template<class DockBase>
void LaserVDockBase<DockBase>::on_scan(std::shared_ptr<const sensor_msgs::msg::LaserScan> scan)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!logic_) {
      return;
    }
    logic_->on_scan(std::move(scan));
  }
  scan_arrived_.notify_all();
}

// Asked only while refine() holds the mutex, so fixed_frame_ is the one of
// the request being served.
template<class DockBase>
FrameLookups LaserVDockBase<DockBase>::frame_lookups() const
{
  FrameLookups lookups;
  lookups.laser_to_base = [this](const std::string & laser_frame) -> std::optional<align_model::PlanarTransform> {
      try {
        return planar_transform_of(tf_->lookupTransform(base_frame_, laser_frame, tf2::TimePointZero).transform);
      } catch (const tf2::TransformException &) {
        return std::nullopt;
      }
    };
  lookups.base_in_fixed = [this](const builtin_interfaces::msg::Time & stamp) -> std::optional<PlanarPose> {
      try {
        return planar_pose_of(
          tf_->lookupTransform(
            fixed_frame_, base_frame_, time_point_of(stamp), tf2::durationFromSec(transform_timeout_)).transform);
      } catch (const tf2::TransformException &) {
        return std::nullopt;
      }
    };
  return lookups;
}

template<class DockBase>
double LaserVDockBase<DockBase>::now() const
{
  return clock_ ? clock_->now().seconds() : 0.0;
}

bool LaserVChargingDock::isCharging()
{
  return isDocked();
}

bool LaserVChargingDock::disableCharging()
{
  return true;
}

bool LaserVChargingDock::hasStoppedCharging()
{
  return !isCharging();
}

template class LaserVDockBase<opennav_docking_core::ChargingDock>;
#if ALIGN_NAV2_DOCK_WITH_NON_CHARGING_DOCK
template class LaserVDockBase<opennav_docking_core::NonChargingDock>;
#endif

}  // namespace align_nav2_dock

PLUGINLIB_EXPORT_CLASS(align_nav2_dock::LaserVChargingDock, opennav_docking_core::ChargingDock)
#if ALIGN_NAV2_DOCK_WITH_NON_CHARGING_DOCK
PLUGINLIB_EXPORT_CLASS(align_nav2_dock::LaserVNonChargingDock, opennav_docking_core::ChargingDock)
#endif
