#include "align_dock_sim/simulated_world.hpp"

#include <algorithm>

namespace align_dock_sim
{

SimulatedWorld::SimulatedWorld(const Scene & scene, const WorldSettings & settings, std::int64_t start_ns)
: scene_(scene), settings_(settings), surfaces_(scene_surfaces(scene)), random_(settings.seed),
  beam_bias_(align_tools::draw_beam_bias(scene.laser, settings.seed)),
  base_(scene.robot, settings.command_timeout), odometry_(settings.odometry_error), now_ns_(start_ns)
{
}

void SimulatedWorld::place_robot(const Pose2D & true_pose)
{
  base_.place(true_pose);
  odometry_.reset(Pose2D{});
}

bool SimulatedWorld::command(const BaseVelocity & velocity)
{
  return base_.command(velocity, now_seconds());
}

void SimulatedWorld::advance_to(std::int64_t time_ns)
{
  const std::int64_t step = std::max<std::int64_t>(settings_.physics_step_ns, 1);
  while (now_ns_ < time_ns) {
    const std::int64_t next = std::min(time_ns, now_ns_ + step);
    const double dt = static_cast<double>(next - now_ns_) * 1e-9;
    now_ns_ = next;
    base_.advance(dt, now_seconds());
    odometry_.advance(base_.step_velocity(), dt);
  }
}

sensor_msgs::msg::LaserScan SimulatedWorld::render_scan()
{
  const Pose2D laser_in_world = align_tools::compose(base_.pose(), scene_.laser_mount);
  builtin_interfaces::msg::Time stamp;
  stamp.sec = static_cast<std::int32_t>(now_ns_ / 1000000000);
  stamp.nanosec = static_cast<std::uint32_t>(now_ns_ % 1000000000);
  return align_tools::cast_scan(
    scene_.laser, align_tools::place_surfaces(surfaces_, align_tools::inverse(laser_in_world)), random_, stamp,
    beam_bias_);
}

Pose2D SimulatedWorld::odom_in_world() const
{
  return align_tools::compose(base_.pose(), align_tools::inverse(odometry_.pose()));
}

}  // namespace align_dock_sim
