// The simulated robot in its scene, free of ROS: the true pose moved by the
// base's kinematics, odometry that drifts from it, and the rear laser's scan
// rendered from the true pose. Time runs in nanoseconds of simulated time.
#ifndef ALIGN_DOCK_SIM__SIMULATED_WORLD_HPP_
#define ALIGN_DOCK_SIM__SIMULATED_WORLD_HPP_

#include <cstdint>
#include <vector>

#include "align_dock_sim/diff_drive_base.hpp"
#include "align_dock_sim/odometry_model.hpp"
#include "align_dock_sim/scene.hpp"
#include "align_tools/surface_scan.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_dock_sim
{

struct WorldSettings
{
  std::uint64_t seed = 1;  // scan noise, dropouts and intensities
  OdometryError odometry_error;
  double command_timeout = 0.5;  // s without a command: the base stops
  std::int64_t physics_step_ns = 5000000;  // 5 ms
};

class SimulatedWorld
{
public:
  SimulatedWorld(const Scene & scene, const WorldSettings & settings, std::int64_t start_ns);

  // Puts the robot at rest at `true_pose` (world frame); odometry starts
  // over at the odom frame's origin, as when a robot is switched on.
  void place_robot(const Pose2D & true_pose);

  // A velocity command received now; false when it holds NaN or infinity
  // (the robot keeps its previous command).
  bool command(const BaseVelocity & velocity);
  bool last_command_clamped() const {return base_.last_command_clamped();}

  // Moves the robot up to `time_ns` (no-op for earlier times).
  void advance_to(std::int64_t time_ns);

  // The rear laser's scan from the current true pose, stamped now.
  sensor_msgs::msg::LaserScan render_scan();

  std::int64_t now_ns() const {return now_ns_;}
  const Pose2D & true_pose() const {return base_.pose();}
  const BaseVelocity & true_velocity() const {return base_.velocity();}
  const Pose2D & odom_pose() const {return odometry_.pose();}  // base in odom
  const BaseVelocity & odom_velocity() const {return odometry_.velocity();}
  // The odom frame in the world: what a perfect localisation would publish
  // as map -> odom.
  Pose2D odom_in_world() const;
  const Scene & scene() const {return scene_;}

private:
  double now_seconds() const {return static_cast<double>(now_ns_) * 1e-9;}

  Scene scene_;
  WorldSettings settings_;
  std::vector<align_tools::Surface> surfaces_;  // world frame
  align_tools::PortableRandom random_;
  std::vector<double> beam_bias_;  // fixed for the world's life
  DiffDriveBase base_;
  OdometryModel odometry_;
  std::int64_t now_ns_;
};

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__SIMULATED_WORLD_HPP_
