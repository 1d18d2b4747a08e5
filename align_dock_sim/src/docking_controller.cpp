#include "align_dock_sim/docking_controller.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "align_model/angles.hpp"

namespace align_dock_sim
{
namespace
{

// Odometry kept for matching target poses to the moment of their scans.
constexpr std::int64_t kOdometrySpanNs = 3000000000;
constexpr std::int64_t kOdometryToleranceNs = 60000000;
constexpr double kMinTurnInPlace = 0.02;  // rad/s: no endless creep towards the heading

double clamp(double value, double low, double high)
{
  return std::max(low, std::min(high, value));
}

double sinc(double x)
{
  return std::fabs(x) < 1e-9 ? 1.0 : std::sin(x) / x;
}

Pose2D mean_pose(const std::vector<Pose2D> & poses)
{
  Pose2D mean;
  double sin_sum = 0.0;
  double cos_sum = 0.0;
  for (const auto & pose : poses) {
    mean.x += pose.x;
    mean.y += pose.y;
    sin_sum += std::sin(pose.yaw);
    cos_sum += std::cos(pose.yaw);
  }
  const double n = static_cast<double>(poses.size());
  mean.x /= n;
  mean.y /= n;
  mean.yaw = std::atan2(sin_sum, cos_sum);
  return mean;
}

}  // namespace

const char * state_name(DockingState state)
{
  switch (state) {
    case DockingState::kWaitingForTarget: return "waiting for the target";
    case DockingState::kApproaching: return "approaching";
    case DockingState::kAligning: return "aligning";
    case DockingState::kSettling: return "settling";
    case DockingState::kRetreating: return "retreating";
    case DockingState::kDocked: return "docked";
    case DockingState::kFailed: return "failed";
  }
  return "unknown";
}

GoalError error_to_goal(const Pose2D & robot, const Pose2D & goal)
{
  const double dx = robot.x - goal.x;
  const double dy = robot.y - goal.y;
  const double c = std::cos(goal.yaw);
  const double s = std::sin(goal.yaw);
  return {c * dx + s * dy, -s * dx + c * dy, align_model::normalize_angle(robot.yaw - goal.yaw)};
}

DockingController::DockingController(const DockingControllerSettings & settings)
: settings_(settings), odometry_(kOdometrySpanNs, kOdometryToleranceNs) {}

void DockingController::start(std::int64_t now_ns)
{
  goals_.clear();
  failure_.clear();
  retreats_ = 0;
  poses_used_ = 0;
  started_ns_ = now_ns;
  last_pose_ns_ = now_ns;
  enter(DockingState::kWaitingForTarget, now_ns);
}

void DockingController::on_odometry(std::int64_t stamp_ns, const Pose2D & pose_in_odom)
{
  odometry_.add(stamp_ns, pose_in_odom);
}

bool DockingController::on_target_pose(std::int64_t stamp_ns, const Pose2D & target_in_base)
{
  const std::optional<Pose2D> base_in_odom = odometry_.at(stamp_ns);
  if (!base_in_odom) {
    return false;
  }
  const Pose2D target_in_odom = align_tools::compose(*base_in_odom, target_in_base);
  goals_.push_back({stamp_ns, align_tools::compose(target_in_odom, settings_.docked_in_target)});
  while (goals_.size() > std::max<std::size_t>(settings_.goal_window, 1) * 4) {
    goals_.pop_front();
  }
  last_pose_ns_ = std::max(last_pose_ns_, stamp_ns);
  ++poses_used_;
  return true;
}

std::optional<Pose2D> DockingController::goal_in_odom() const
{
  if (goals_.empty()) {
    return std::nullopt;
  }
  const std::size_t window = std::min(goals_.size(), std::max<std::size_t>(settings_.goal_window, 1));
  std::vector<Pose2D> latest;
  for (auto it = goals_.end() - static_cast<std::ptrdiff_t>(window); it != goals_.end(); ++it) {
    latest.push_back(it->goal);
  }
  return mean_pose(latest);
}

void DockingController::enter(DockingState state, std::int64_t now_ns)
{
  state_ = state;
  state_since_ns_ = now_ns;
}

void DockingController::fail(const std::string & why)
{
  state_ = DockingState::kFailed;
  failure_ = why;
}

BaseVelocity DockingController::update(std::int64_t now_ns)
{
  if (state_ == DockingState::kDocked || state_ == DockingState::kFailed) {
    return {};
  }
  const std::optional<Pose2D> robot = odometry_.newest();
  if (state_ == DockingState::kWaitingForTarget) {
    if (!goals_.empty() && robot) {
      enter(DockingState::kApproaching, now_ns);
    } else {
      if (now_ns - started_ns_ > settings_.first_sight_timeout_ns) {
        fail("no target pose arrived");
      }
      return {};
    }
  }
  if (now_ns - last_pose_ns_ > settings_.lost_timeout_ns) {
    fail("lost the target");
    return {};
  }
  const GoalError error = error_to_goal(*robot, *goal_in_odom());
  switch (state_) {
    case DockingState::kApproaching:
      if (std::fabs(error.along) > settings_.along_tolerance) {
        return approach(error);
      }
      if (std::fabs(error.across) > settings_.across_tolerance) {
        if (retreats_ >= settings_.max_retreats) {
          fail("arrived off the line too often");
          return {};
        }
        ++retreats_;
        enter(DockingState::kRetreating, now_ns);
        return {};
      }
      enter(DockingState::kAligning, now_ns);
      [[fallthrough]];
    case DockingState::kAligning:
      if (std::fabs(error.heading) > settings_.heading_tolerance) {
        return turn_in_place(error);
      }
      enter(DockingState::kSettling, now_ns);
      return {};
    case DockingState::kSettling:
      judge_while_still(error, now_ns);
      return {};
    case DockingState::kRetreating:
      if (error.along >= settings_.retreat_distance) {
        enter(DockingState::kApproaching, now_ns);
        return approach(error);
      }
      return retreat(error);
    default:
      return {};
  }
}

// Standing still: the verdict comes from poses of scans taken after the
// robot stopped, averaged.
void DockingController::judge_while_still(const GoalError &, std::int64_t now_ns)
{
  std::vector<Pose2D> fresh;
  for (const auto & sample : goals_) {
    if (sample.stamp_ns >= state_since_ns_ + settings_.settle_delay_ns) {
      fresh.push_back(sample.goal);
    }
  }
  if (fresh.size() < std::max<std::size_t>(settings_.goal_window, 1)) {
    return;
  }
  const GoalError error = error_to_goal(*odometry_.newest(), mean_pose(fresh));
  const double m = settings_.verify_margin;
  const bool along_ok = std::fabs(error.along) <= settings_.along_tolerance * m;
  const bool across_ok = std::fabs(error.across) <= settings_.across_tolerance * m;
  const bool heading_ok = std::fabs(error.heading) <= settings_.heading_tolerance * m;
  if (along_ok && across_ok && heading_ok) {
    enter(DockingState::kDocked, now_ns);
  } else if (!across_ok) {
    if (retreats_ >= settings_.max_retreats) {
      fail("arrived off the line too often");
      return;
    }
    ++retreats_;
    enter(DockingState::kRetreating, now_ns);
  } else {
    enter(along_ok ? DockingState::kAligning : DockingState::kApproaching, now_ns);
  }
}

BaseVelocity DockingController::approach(const GoalError & error) const
{
  const double distance = std::fabs(error.along);
  const double length = clamp(
    distance / settings_.convergence_ratio, settings_.min_convergence_length, settings_.max_convergence_length);
  const double lateral_gain = 1.0 / (length * length);
  const double heading_gain = 2.0 / length;
  const bool reversing = error.along > 0.0;
  // Curvature (turn per metre travelled) that settles the lateral offset and
  // the heading together, critically damped; the sign of the lateral term
  // follows the direction of travel.
  const double lateral_term = lateral_gain * error.across * sinc(error.heading);
  const double curvature = (reversing ? lateral_term : -lateral_term) - heading_gain * error.heading;
  double speed = clamp(settings_.speed_gain * distance, settings_.min_speed, settings_.max_speed);
  if (std::fabs(curvature) * speed > settings_.max_angular_speed) {
    speed = settings_.max_angular_speed / std::fabs(curvature);
  }
  return {reversing ? -speed : speed, speed * curvature};
}

BaseVelocity DockingController::turn_in_place(const GoalError & error) const
{
  double rate = clamp(
    -settings_.turn_in_place_gain * error.heading, -settings_.max_turn_in_place, settings_.max_turn_in_place);
  if (std::fabs(rate) < kMinTurnInPlace) {
    rate = rate < 0.0 ? -kMinTurnInPlace : kMinTurnInPlace;
  }
  return {0.0, rate};
}

BaseVelocity DockingController::retreat(const GoalError & error) const
{
  const double length = settings_.max_convergence_length;
  const double curvature =
    -error.across * sinc(error.heading) / (length * length) - 2.0 / length * error.heading;
  double speed = 0.5 * settings_.max_speed;
  if (std::fabs(curvature) * speed > settings_.max_angular_speed) {
    speed = settings_.max_angular_speed / std::fabs(curvature);
  }
  return {speed, speed * curvature};
}

}  // namespace align_dock_sim
