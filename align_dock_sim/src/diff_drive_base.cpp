#include "align_dock_sim/diff_drive_base.hpp"

#include <algorithm>
#include <cmath>

#include "align_model/angles.hpp"

namespace align_dock_sim
{
namespace
{

double clamp_symmetric(double value, double limit)
{
  return std::max(-limit, std::min(limit, value));
}

// A speed that moves towards `target` at `acceleration` for `dt` seconds
// and then holds it: where it ends and its mean over the step (the
// distance covered divided by dt).
struct SpeedStep
{
  double end;
  double mean;
};

SpeedStep accelerate(double current, double target, double acceleration, double dt)
{
  const double change = target - current;
  const double ramp = std::min(dt, std::fabs(change) / acceleration);
  const double signed_acceleration = change < 0.0 ? -acceleration : acceleration;
  const double end = current + signed_acceleration * ramp;
  const double distance = current * ramp + 0.5 * signed_acceleration * ramp * ramp + end * (dt - ramp);
  return {end, distance / dt};
}

}  // namespace

DiffDriveBase::DiffDriveBase(const RobotLimits & limits, double command_timeout)
: limits_(limits), command_timeout_(command_timeout) {}

bool DiffDriveBase::command(const BaseVelocity & wanted, double now)
{
  if (!std::isfinite(wanted.linear) || !std::isfinite(wanted.angular)) {
    return false;
  }
  command_.linear = clamp_symmetric(wanted.linear, limits_.max_linear_speed);
  command_.angular = clamp_symmetric(wanted.angular, limits_.max_angular_speed);
  clamped_ = command_.linear != wanted.linear || command_.angular != wanted.angular;
  command_time_ = now;
  return true;
}

void DiffDriveBase::advance(double dt, double now)
{
  if (!(dt > 0.0)) {
    return;
  }
  const bool fresh = now - command_time_ <= command_timeout_;
  const BaseVelocity target = fresh ? command_ : BaseVelocity{};
  const SpeedStep linear = accelerate(velocity_.linear, target.linear, limits_.max_linear_acceleration, dt);
  const SpeedStep angular = accelerate(velocity_.angular, target.angular, limits_.max_angular_acceleration, dt);
  velocity_ = BaseVelocity{linear.end, angular.end};
  // Moving along an arc at the step's mean speeds: exact along a straight
  // line and at constant speeds, and close while accelerating on an arc.
  step_velocity_ = BaseVelocity{linear.mean, angular.mean};
  pose_ = move_along_arc(pose_, step_velocity_, dt);
}

void DiffDriveBase::place(const Pose2D & pose)
{
  pose_ = pose;
  velocity_ = BaseVelocity{};
  step_velocity_ = BaseVelocity{};
  command_ = BaseVelocity{};
  command_time_ = -1e300;
}

Pose2D move_along_arc(const Pose2D & start, const BaseVelocity & velocity, double dt)
{
  const double turn = velocity.angular * dt;
  const double distance = velocity.linear * dt;
  // Chord of the arc: length 2 r sin(turn / 2) in the direction yaw + turn / 2;
  // sin(t/2)/(t/2) tends to 1 for a straight line.
  const double half = 0.5 * turn;
  const double chord = std::fabs(half) < 1e-9 ? distance : distance * std::sin(half) / half;
  Pose2D end;
  end.x = start.x + chord * std::cos(start.yaw + half);
  end.y = start.y + chord * std::sin(start.yaw + half);
  end.yaw = align_model::normalize_angle(start.yaw + turn);
  return end;
}

}  // namespace align_dock_sim
