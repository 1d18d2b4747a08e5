// Docking trials in one process on simulated time: the simulated robot, one
// of the detector programs and the reference controller, stepped together so
// that every message of a control period has arrived before the next one
// starts. A trial's result depends only on the settings, the seed and its
// index, never on the machine's speed.
#ifndef ALIGN_DOCK_SIM__TRIAL_RUNNER_HPP_
#define ALIGN_DOCK_SIM__TRIAL_RUNNER_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "align_dock_sim/docking_controller.hpp"
#include "align_dock_sim/odometry_model.hpp"
#include "align_dock_sim/scene.hpp"
#include "align_tools/replay.hpp"
#include "rclcpp/rclcpp.hpp"

namespace align_dock_sim
{

struct TrialSettings
{
  align_tools::NodeKind node = align_tools::NodeKind::kFeature;
  std::string scene_file;
  int trials = 20;
  std::uint64_t seed = 1;
  std::string scanner;  // scanner profile; empty: the scene's
  double range_noise = -1.0;  // m; negative: the scene's or the profile's
  OdometryError odometry_error;
  double scan_rate = 25.0;  // Hz
  double scan_latency = 0.04;  // s from a scan's stamp to its publication
  double timeout = 60.0;  // s of simulated time per trial
  // On top of the command line's ROS arguments, for the program (tests).
  std::vector<rclcpp::Parameter> program_overrides;
};

struct TrialResult
{
  int trial = 0;
  Pose2D start;  // world frame
  bool docked = false;
  std::string end;  // "docked", "timeout" or the controller's reason
  double time_s = 0.0;  // simulated
  std::size_t poses = 0;  // target poses the controller received
  Pose2D final_true_pose;
  Pose2D docked_pose;  // where the robot should be, world frame
  GoalError final_error;  // of the final true pose from the docked pose
  std::vector<Pose2D> path;  // true poses, one per control period
  std::vector<Pose2D> detections;  // target poses in the world, from the true pose at each scan
};

// Where trial `index` starts: a uniform draw from the scene's staging
// region, the same for the same seed and index.
Pose2D staging_pose(const Scene & scene, std::uint64_t seed, int index);

class TrialRunner
{
public:
  // Reads the scene file (throws SceneError). rclcpp must be initialised.
  explicit TrialRunner(const TrialSettings & settings);

  // Runs trial `index` with nodes of its own. Throws std::runtime_error when
  // a message never arrives (the middleware, not the docking, failed).
  TrialResult run_trial(int index);

  const Scene & scene() const {return scene_;}

private:
  TrialSettings settings_;
  Scene scene_;
};

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__TRIAL_RUNNER_HPP_
