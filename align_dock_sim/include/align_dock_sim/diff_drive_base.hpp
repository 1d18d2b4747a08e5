// The kinematics of the simulated robot: a differential-drive base that
// follows velocity commands within its speed and acceleration limits and
// stops when the commands stop coming.
#ifndef ALIGN_DOCK_SIM__DIFF_DRIVE_BASE_HPP_
#define ALIGN_DOCK_SIM__DIFF_DRIVE_BASE_HPP_

#include "align_dock_sim/scene.hpp"

namespace align_dock_sim
{

struct BaseVelocity
{
  double linear = 0.0;  // m/s along the base's x axis
  double angular = 0.0;  // rad/s
};

class DiffDriveBase
{
public:
  // A command older than `command_timeout` seconds counts as a stop.
  DiffDriveBase(const RobotLimits & limits, double command_timeout);

  // Takes a command at time `now` (seconds), clamped to the speed limits.
  // Returns false, and keeps the previous command, when a value is NaN or
  // infinite.
  bool command(const BaseVelocity & wanted, double now);
  // Whether the last command was clamped to the speed limits.
  bool last_command_clamped() const {return clamped_;}

  // Moves the base from `now - dt` to `now`: the velocity approaches the
  // command within the acceleration limits, and the pose follows the
  // velocity along an exact arc.
  void advance(double dt, double now);

  void place(const Pose2D & pose);  // at rest
  const Pose2D & pose() const {return pose_;}
  const BaseVelocity & velocity() const {return velocity_;}
  // The velocity the last advance moved the pose by (the mean over the step).
  const BaseVelocity & step_velocity() const {return step_velocity_;}

private:
  RobotLimits limits_;
  double command_timeout_;
  BaseVelocity command_;
  double command_time_ = -1e300;
  bool clamped_ = false;
  BaseVelocity velocity_;
  BaseVelocity step_velocity_;
  Pose2D pose_;
};

// The pose reached from `start` after moving `dt` seconds at a constant
// velocity (an arc, or a straight line when not turning).
Pose2D move_along_arc(const Pose2D & start, const BaseVelocity & velocity, double dt);

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__DIFF_DRIVE_BASE_HPP_
