// A reference docking controller for tests and demos (not a robot
// controller): it reverses a differential-drive robot onto the docked pose
// that the latest target poses give, slows down near it, turns in place to
// the docked heading, and checks the result while standing still before it
// reports docked.
//
// Every target pose is brought into the odom frame with the odometry of the
// moment its scan was taken, so a pose that arrives 25 to 100 ms late still
// gives the right goal while the robot moves. The goal is the mean of the
// last few such estimates.
//
// The approach follows the line through the goal along its heading: the
// lateral offset and the heading error decay over a distance travelled
// that shrinks with the distance still to go, so both are settled well
// before the robot arrives; the speed drops near the goal and wherever the
// turn rate would exceed its limit.
#ifndef ALIGN_DOCK_SIM__DOCKING_CONTROLLER_HPP_
#define ALIGN_DOCK_SIM__DOCKING_CONTROLLER_HPP_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "align_dock_sim/diff_drive_base.hpp"
#include "align_dock_sim/pose_history.hpp"

namespace align_dock_sim
{

struct DockingControllerSettings
{
  Pose2D docked_in_target;  // where base_footprint stops, in the target pose's frame
  double max_speed = 0.15;  // m/s
  double min_speed = 0.01;  // m/s, creeping in the last millimetres
  double speed_gain = 0.6;  // 1/s: speed per metre still to go
  double max_angular_speed = 0.8;  // rad/s
  double turn_in_place_gain = 2.0;  // 1/s
  double max_turn_in_place = 0.3;  // rad/s
  double convergence_ratio = 5.0;  // distance to go / distance over which errors decay
  double min_convergence_length = 0.02;  // m
  double max_convergence_length = 0.3;  // m
  double along_tolerance = 0.001;  // m: arrived
  double across_tolerance = 0.005;  // m: further off, back out and approach again
  double heading_tolerance = 0.0052;  // rad (0.3 degrees)
  double verify_margin = 2.0;  // standing still, the tolerances times this still count as docked
  double retreat_distance = 0.3;  // m out from the docked pose
  int max_retreats = 3;
  std::int64_t settle_delay_ns = 300000000;  // poses from scans this soon after stopping saw motion
  std::size_t goal_window = 5;  // target poses averaged into the goal
  std::int64_t lost_timeout_ns = 1000000000;  // without a target pose while docking: failed
  std::int64_t first_sight_timeout_ns = 5000000000;  // without any target pose at the start: failed
};

enum class DockingState
{
  kWaitingForTarget,
  kApproaching,  // towards the goal, reversing (forward when past it)
  kAligning,  // turning in place to the docked heading
  kSettling,  // standing still, collecting fresh poses
  kRetreating,  // forward along the goal's line, for another approach
  kDocked,
  kFailed,
};

const char * state_name(DockingState state);

// The robot's offset from the goal, in the goal's frame.
struct GoalError
{
  double along = 0.0;  // > 0: still out from the goal
  double across = 0.0;
  double heading = 0.0;  // rad
};

GoalError error_to_goal(const Pose2D & robot, const Pose2D & goal);

class DockingController
{
public:
  explicit DockingController(const DockingControllerSettings & settings);

  // Starts a new docking at `now_ns`.
  void start(std::int64_t now_ns);

  void on_odometry(std::int64_t stamp_ns, const Pose2D & pose_in_odom);
  // A target pose in the base frame from the scan stamped `stamp_ns`.
  // False when the odometry of that moment is not known (the pose is not used).
  bool on_target_pose(std::int64_t stamp_ns, const Pose2D & target_in_base);

  // The command for now.
  BaseVelocity update(std::int64_t now_ns);

  DockingState state() const {return state_;}
  const std::string & failure() const {return failure_;}
  std::optional<Pose2D> goal_in_odom() const;
  std::size_t target_poses_used() const {return poses_used_;}

private:
  BaseVelocity approach(const GoalError & error) const;
  BaseVelocity turn_in_place(const GoalError & error) const;
  BaseVelocity retreat(const GoalError & error) const;
  void enter(DockingState state, std::int64_t now_ns);
  void fail(const std::string & why);
  void judge_while_still(const GoalError & error, std::int64_t now_ns);

  DockingControllerSettings settings_;
  PoseHistory odometry_;
  struct GoalSample
  {
    std::int64_t stamp_ns;
    Pose2D goal;
  };
  std::deque<GoalSample> goals_;
  DockingState state_ = DockingState::kWaitingForTarget;
  std::string failure_;
  std::int64_t state_since_ns_ = 0;
  std::int64_t last_pose_ns_ = 0;
  std::int64_t started_ns_ = 0;
  int retreats_ = 0;
  std::size_t poses_used_ = 0;
};

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__DOCKING_CONTROLLER_HPP_
