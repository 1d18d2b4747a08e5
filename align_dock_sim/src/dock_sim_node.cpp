#include "align_dock_sim/dock_sim_node.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "align_dock_sim/pose_messages.hpp"
#include "align_tools/mount_transform.hpp"
#include "program/parameter_description.hpp"

namespace align_dock_sim
{
namespace
{

using align_program::described;

std::int64_t to_nanoseconds(double seconds)
{
  return static_cast<std::int64_t>(std::llround(seconds * 1e9));
}

// A positive, finite parameter value, or a throw naming the parameter.
double positive_parameter(rclcpp::Node & node, const std::string & name, double fallback, const std::string & description)
{
  const double value = node.declare_parameter(name, fallback, described(description));
  if (!std::isfinite(value) || value <= 0.0) {
    throw std::invalid_argument(
            "parameter '" + name + "' must be a positive number, not " + std::to_string(value));
  }
  return value;
}

double finite_parameter(rclcpp::Node & node, const std::string & name, double fallback, const std::string & description)
{
  const double value = node.declare_parameter(name, fallback, described(description));
  if (!std::isfinite(value)) {
    throw std::invalid_argument("parameter '" + name + "' must be a finite number");
  }
  return value;
}

rclcpp::QoS scan_publisher_qos(const std::string & choice)
{
  if (choice == "reliable") {
    return rclcpp::QoS(10);
  }
  if (choice == "sensor_data") {
    return rclcpp::SensorDataQoS();
  }
  throw std::invalid_argument(
          "parameter 'scan_qos' has the value '" + choice + "'; the choices are 'reliable' and 'sensor_data'");
}

// The middle of the staging region: out from the docked pose along the
// target's axis.
Pose2D staging_centre(const Scene & scene)
{
  const StagingRegion & region = scene.staging;
  const Pose2D offset{
    0.5 * (region.along_min + region.along_max), 0.5 * (region.across_min + region.across_max),
    0.5 * (region.yaw_min + region.yaw_max)};
  return align_tools::compose(
    docked_pose_in_world(scene), offset);
}

}  // namespace

DockSimNode::DockSimNode(const rclcpp::NodeOptions & options)
: DockSimNode(options, Stepping::kOwnTimer) {}

DockSimNode::DockSimNode(const rclcpp::NodeOptions & options, Stepping stepping)
: rclcpp::Node("align_dock_sim", options)
{
  declare_and_build(stepping);
}

void DockSimNode::declare_and_build(Stepping stepping)
{
  const std::string scene_file = declare_parameter(
    "scene_file", std::string(), described("The scene (YAML): target, docked pose, walls, boxes, laser, limits"));
  if (scene_file.empty()) {
    throw std::invalid_argument("parameter 'scene_file' is required: the path of a scene file (YAML)");
  }
  Scene scene = load_scene(scene_file);

  const double scan_rate = positive_parameter(*this, "scan_rate", 25.0, "Scans per second of simulated time");
  const double scan_latency = declare_parameter(
    "scan_latency", 0.04,
    described("Seconds from taking a scan (its stamp) to publishing it: a scanner sends a sweep when it is done"));
  if (!std::isfinite(scan_latency) || scan_latency < 0.0) {
    throw std::invalid_argument("parameter 'scan_latency' must be a number of seconds of at least 0");
  }
  const double odom_rate = positive_parameter(
    *this, "odom_rate", 50.0, "Odometry, transforms, ground truth and /clock messages per second");
  const std::string scanner = declare_parameter(
    "scanner", std::string(),
    described("Scanner profile (ideal, recorded, datasheet_10mm, datasheet_20mm); empty: the scene's laser.scanner"));
  const double range_noise = declare_parameter(
    "range_noise", -1.0,
    described("Standard deviation of the range noise in metres; negative: the scene's or the scanner profile's"));
  WorldSettings settings;
  settings.seed = static_cast<std::uint64_t>(declare_parameter("seed", 1, described("Seed of the scan noise")));
  settings.odometry_error.scale = finite_parameter(
    *this, "odom_scale_error", 0.0, "Odometry scale error: 0.01 reports 1 % more motion than happened");
  settings.odometry_error.heading_drift = finite_parameter(
    *this, "odom_heading_drift", 0.0, "Odometry heading drift in rad/s");
  settings.command_timeout = positive_parameter(
    *this, "command_timeout", 0.5, "Seconds without a cmd_vel after which the robot stops");
  const double real_time_factor = positive_parameter(
    *this, "real_time_factor", 1.0, "Simulated seconds per wall-clock second");
  const double start_time = positive_parameter(*this, "start_time", 1000.0, "Simulated time at start, seconds");
  const std::vector<double> initial_pose = declare_parameter(
    "initial_pose", std::vector<double>{},
    described("[x, y, yaw] of base_footprint in the world at start; empty: the middle of the staging region"));
  odom_frame_ = declare_parameter("odom_frame", std::string("odom"), described("Frame of the odometry"));
  base_frame_ = declare_parameter("base_frame", std::string("base_footprint"), described("The robot's base frame"));
  publish_map_to_odom_ = declare_parameter(
    "publish_map_to_odom", true,
    described("Publish the world -> odom transform of a perfect localisation on /tf"));
  const std::string scan_topic = declare_parameter(
    "scan_topic", std::string("back_scan"), described("Topic of the rendered sensor_msgs/msg/LaserScan"));
  const std::string scan_qos = declare_parameter(
    "scan_qos", std::string("reliable"),
    described("QoS of the scan publisher: 'reliable' or 'sensor_data' (best effort, as many laser drivers)"));
  if (!initial_pose.empty() && initial_pose.size() != 3) {
    throw std::invalid_argument("parameter 'initial_pose' must be empty or [x, y, yaw]");
  }
  apply_scanner_profile(scene, scanner);
  if (range_noise >= 0.0 && std::isfinite(range_noise)) {
    scene.laser.range_noise = range_noise;
  }
  scene.laser.scan_time = static_cast<float>(1.0 / scan_rate);

  tick_ns_ = std::max<std::int64_t>(to_nanoseconds(1.0 / odom_rate), 1);
  scan_period_ns_ = std::max<std::int64_t>(to_nanoseconds(1.0 / scan_rate), 1);
  scan_latency_ns_ = to_nanoseconds(scan_latency);
  const std::int64_t start_ns = to_nanoseconds(start_time);
  world_ = std::make_unique<SimulatedWorld>(scene, settings, start_ns);
  world_->place_robot(
    initial_pose.empty() ? staging_centre(scene) : Pose2D{initial_pose[0], initial_pose[1], initial_pose[2]});
  next_scan_ns_ = start_ns;

  create_endpoints(scan_topic, scan_qos);
  publish_static_state();
  if (stepping == Stepping::kOwnTimer) {
    const auto period = std::chrono::nanoseconds(
      std::max<std::int64_t>(static_cast<std::int64_t>(static_cast<double>(tick_ns_) / real_time_factor), 1));
    timer_ = create_wall_timer(
      period, [this]() {
        step_to(world_->now_ns() + tick_ns_);
        while (publish_next_scan() >= 0) {
        }
      });
  }
  RCLCPP_INFO(
    get_logger(), "Simulating '%s' at %.1f scans/s: robot at (%.3f, %.3f, %.3f) in '%s'", scene_file.c_str(),
    scan_rate, world_->true_pose().x, world_->true_pose().y, world_->true_pose().yaw, world_frame().c_str());
}

void DockSimNode::create_endpoints(const std::string & scan_topic, const std::string & scan_qos)
{
  clock_publisher_ = create_publisher<rosgraph_msgs::msg::Clock>("/clock", rclcpp::QoS(10));
  odom_publisher_ = create_publisher<nav_msgs::msg::Odometry>("odom", rclcpp::QoS(10));
  scan_publisher_ = create_publisher<sensor_msgs::msg::LaserScan>(scan_topic, scan_publisher_qos(scan_qos));
  true_pose_publisher_ = create_publisher<geometry_msgs::msg::PoseStamped>("sim/true_pose", rclcpp::QoS(10));
  docked_pose_publisher_ = create_publisher<geometry_msgs::msg::PoseStamped>(
    "sim/docked_pose", rclcpp::QoS(1).transient_local());
  transform_broadcaster_ = std::make_unique<tf2_ros::TransformBroadcaster>(this);
  static_broadcaster_ = std::make_unique<tf2_ros::StaticTransformBroadcaster>(this);
  command_subscription_ = create_subscription<geometry_msgs::msg::Twist>(
    "cmd_vel", rclcpp::QoS(10),
    [this](std::shared_ptr<const geometry_msgs::msg::Twist> twist) {on_command(*twist);});
  teleport_subscription_ = create_subscription<geometry_msgs::msg::PoseStamped>(
    "sim/teleport", rclcpp::QoS(10),
    [this](std::shared_ptr<const geometry_msgs::msg::PoseStamped> pose) {
      if (pose->header.frame_id != world_frame()) {
        RCLCPP_WARN(
          get_logger(), "Ignored sim/teleport in frame '%s': poses are given in '%s'",
          pose->header.frame_id.c_str(), world_frame().c_str());
        return;
      }
      place_robot(planar_pose(pose->pose));
      RCLCPP_INFO(
        get_logger(), "Robot placed at (%.3f, %.3f, %.3f)", world_->true_pose().x, world_->true_pose().y,
        world_->true_pose().yaw);
    });
}

void DockSimNode::on_command(const geometry_msgs::msg::Twist & twist)
{
  ++commands_received_;
  const BaseVelocity wanted{twist.linear.x, twist.angular.z};
  if (!world_->command(wanted)) {
    if (!warned_invalid_command_) {
      RCLCPP_WARN(get_logger(), "Ignored a cmd_vel with a NaN or infinite value: the robot keeps its last command");
      warned_invalid_command_ = true;
    }
    return;
  }
  warned_invalid_command_ = false;
  if (world_->last_command_clamped() && !warned_clamped_command_) {
    const RobotLimits & limits = world_->scene().robot;
    RCLCPP_WARN(
      get_logger(), "cmd_vel (%.3f m/s, %.3f rad/s) is above the robot's limits: clamped to %.3f m/s, %.3f rad/s",
      wanted.linear, wanted.angular, limits.max_linear_speed, limits.max_angular_speed);
  }
  warned_clamped_command_ = world_->last_command_clamped();
}

std::size_t DockSimNode::step_to(std::int64_t time_ns)
{
  take_due_scans(time_ns);
  world_->advance_to(time_ns);
  publish_state();
  return static_cast<std::size_t>(std::count_if(
           pending_scans_.begin(), pending_scans_.end(),
           [time_ns](const PendingScan & pending) {return pending.publish_ns <= time_ns;}));
}

std::int64_t DockSimNode::publish_next_scan()
{
  if (pending_scans_.empty() || pending_scans_.front().publish_ns > world_->now_ns()) {
    return -1;
  }
  const std::int64_t stamp = nanoseconds_of(pending_scans_.front().scan.header.stamp);
  scan_publisher_->publish(pending_scans_.front().scan);
  pending_scans_.pop_front();
  return stamp;
}

// Scans are taken on their own schedule: the world stops at each scan time
// on its way to `time_ns`.
void DockSimNode::take_due_scans(std::int64_t time_ns)
{
  while (next_scan_ns_ <= time_ns) {
    world_->advance_to(next_scan_ns_);
    pending_scans_.push_back({next_scan_ns_ + scan_latency_ns_, world_->render_scan()});
    next_scan_ns_ += scan_period_ns_;
  }
}

void DockSimNode::place_robot(const Pose2D & true_pose)
{
  world_->place_robot(true_pose);
  pending_scans_.clear();
}

void DockSimNode::publish_state()
{
  const std::int64_t now = world_->now_ns();
  rosgraph_msgs::msg::Clock clock;
  clock.clock = time_message(now);
  clock_publisher_->publish(clock);

  nav_msgs::msg::Odometry odometry;
  odometry.header.stamp = time_message(now);
  odometry.header.frame_id = odom_frame_;
  odometry.child_frame_id = base_frame_;
  odometry.pose.pose = pose_message(world_->odom_pose());
  odometry.twist.twist.linear.x = world_->odom_velocity().linear;
  odometry.twist.twist.angular.z = world_->odom_velocity().angular;
  odom_publisher_->publish(odometry);

  std::vector<geometry_msgs::msg::TransformStamped> transforms;
  transforms.push_back(align_tools::mount_transform(world_->odom_pose(), odom_frame_, base_frame_));
  if (publish_map_to_odom_) {
    transforms.push_back(align_tools::mount_transform(world_->odom_in_world(), world_frame(), odom_frame_));
  }
  for (auto & transform : transforms) {
    transform.header.stamp = time_message(now);
  }
  transform_broadcaster_->sendTransform(transforms);

  true_pose_publisher_->publish(stamped_pose(world_->true_pose(), world_frame(), now));
}

void DockSimNode::publish_static_state()
{
  const Scene & scene = world_->scene();
  geometry_msgs::msg::TransformStamped mount =
    align_tools::mount_transform(scene.laser_mount, base_frame_, scene.laser.frame_id);
  mount.header.stamp = time_message(world_->now_ns());
  static_broadcaster_->sendTransform(mount);
  docked_pose_publisher_->publish(stamped_pose(docked_pose_in_world(scene), world_frame(), world_->now_ns()));
}

}  // namespace align_dock_sim
