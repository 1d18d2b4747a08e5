#include "align_dock_sim/odometry_model.hpp"

namespace align_dock_sim
{

void OdometryModel::advance(const BaseVelocity & true_velocity, double dt)
{
  velocity_.linear = true_velocity.linear * (1.0 + error_.scale);
  velocity_.angular = true_velocity.angular * (1.0 + error_.scale) + error_.heading_drift;
  pose_ = move_along_arc(pose_, velocity_, dt);
}

void OdometryModel::reset(const Pose2D & pose)
{
  pose_ = pose;
  velocity_ = BaseVelocity{};
}

}  // namespace align_dock_sim
