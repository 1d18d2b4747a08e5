// Wheel odometry of the simulated robot: it integrates the base's true
// velocity with a scale error and a heading drift, so that odometry drifts
// from the truth as a real robot's does.
#ifndef ALIGN_DOCK_SIM__ODOMETRY_MODEL_HPP_
#define ALIGN_DOCK_SIM__ODOMETRY_MODEL_HPP_

#include "align_dock_sim/diff_drive_base.hpp"

namespace align_dock_sim
{

struct OdometryError
{
  double scale = 0.0;  // 0.01: odometry reports 1 % more motion than happened
  double heading_drift = 0.0;  // rad/s added to the measured turn rate
};

class OdometryModel
{
public:
  explicit OdometryModel(const OdometryError & error)
  : error_(error) {}

  // Integrates the true velocity of a step of `dt` seconds.
  void advance(const BaseVelocity & true_velocity, double dt);
  // Starts over at `pose` (the odom frame's origin moves with it).
  void reset(const Pose2D & pose);

  const Pose2D & pose() const {return pose_;}  // base in the odom frame
  const BaseVelocity & velocity() const {return velocity_;}  // as measured

private:
  OdometryError error_;
  Pose2D pose_;
  BaseVelocity velocity_;
};

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__ODOMETRY_MODEL_HPP_
