#include "align_dock_sim/trial_runner.hpp"

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "align_dock_sim/dock_controller_node.hpp"
#include "align_dock_sim/dock_sim_node.hpp"
#include "align_dock_sim/pose_history.hpp"
#include "align_model/detection_funnel.hpp"
#include "align_model_node/align_node.hpp"
#include "align_tools/log_tap.hpp"
#include "feature/feature_node.hpp"

namespace align_dock_sim
{
namespace
{

using Clock = std::chrono::steady_clock;
using align_tools::NodeKind;

// Wall-clock limits for a message to arrive; far above what any middleware
// needs, so that only a broken one fails a trial on them.
constexpr auto kDeliveryWait = std::chrono::seconds(10);
// The feature program's frame listener gives up after 5 s.
constexpr auto kTransformWait = std::chrono::seconds(6);
constexpr char kDefaultDockPoseTopic[] = "detected_dock_pose";

const char * program_name(NodeKind kind)
{
  return kind == NodeKind::kFeature ? "align_feature_node" : "align_node";
}

// A parameter as the program will see it (the command line's ROS arguments
// and the overrides), read with a plain node of the program's name.
std::string configured_string(
  NodeKind kind, const std::vector<rclcpp::Parameter> & overrides, const std::string & name,
  const std::string & fallback)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides(overrides);
  options.start_parameter_services(false);
  options.start_parameter_event_publisher(false);
  auto reader = std::make_shared<rclcpp::Node>(program_name(kind), options);
  return reader->declare_parameter(name, fallback);
}

std::int64_t nanoseconds_from(double seconds)
{
  return static_cast<std::int64_t>(seconds * 1e9);
}

// One program under trial and what the runner needs to know of it.
struct Program
{
  rclcpp::Node::SharedPtr node;
  std::shared_ptr<align_model::FeatureNode> feature;
  std::shared_ptr<align_node::AlignNode> line;

  const align_model::DetectionFunnel & funnel() const
  {
    return feature ? feature->detection_funnel() : line->detection_funnel();
  }
  std::string base_frame() const
  {
    return node->get_parameter(feature ? "publish_frame" : "base_frame_id").as_string();
  }
  DetectorEnable enable() const
  {
    if (feature) {
      return {DetectorEnable::Kind::kAlignMessage, node->get_parameter("enable_topic").as_string()};
    }
    return {DetectorEnable::Kind::kSetBoolService, node->get_parameter("enable_service").as_string()};
  }
};

// One trial: its own nodes, executor and records.
class Trial
{
public:
  Trial(const TrialSettings & settings, const Scene & scene, int index)
  : settings_(settings), scene_(scene), truth_(3000000000, 0)
  {
    result_.trial = index;
    result_.start = staging_pose(scene, settings.seed, index);
    result_.docked_pose = docked_pose_in_world(scene);
    build_program();
    build_simulator(index);
    build_controller();
    tap_ = std::make_unique<align_tools::LogTap>(program_.node->get_logger().get_name());
    // One executor per node, so that waiting for one node's message runs
    // nothing of the others: every message is taken exactly when the trial
    // says so, whatever the middleware's timing.
    program_executor_.add_node(program_.node);
    simulator_executor_.add_node(simulator_);
    controller_executor_.add_node(controller_);
    spin_until(
      [this] {
        return controller_->connected() && simulator_->scan_subscribers() > 0 && simulator_->clock_subscribers() > 0;
      }, "the simulated robot, the program and the controller did not match", {});
  }

  ~Trial()
  {
    controller_executor_.remove_node(controller_);
    simulator_executor_.remove_node(simulator_);
    program_executor_.remove_node(program_.node);
  }

  TrialResult run()
  {
    switch_detector(true);
    const std::int64_t start_ns = simulator_->world().now_ns();
    const std::int64_t timeout_ns = nanoseconds_from(settings_.timeout);
    controller_->start(start_ns);
    std::int64_t now = start_ns;
    step(now);
    for (;;) {
      const DockingState state = controller_->controller().state();
      if (state == DockingState::kDocked || state == DockingState::kFailed) {
        break;
      }
      if (now - start_ns >= timeout_ns) {
        break;
      }
      now += simulator_->tick_ns();
      step(now);
    }
    switch_detector(false);
    finish(now - start_ns);
    return std::move(result_);
  }

private:
  void build_program()
  {
    std::vector<rclcpp::Parameter> overrides = settings_.program_overrides;
    overrides.emplace_back("use_sim_time", true);
    if (settings_.node == NodeKind::kLine) {
      // The line program takes the laser mount from parameters: the robot's.
      overrides.emplace_back("laser_to_base_x", scene_.laser_mount.x);
      overrides.emplace_back("laser_to_base_y", scene_.laser_mount.y);
      overrides.emplace_back("laser_to_base_th", scene_.laser_mount.yaw);
    }
    dock_pose_topic_ = configured_string(settings_.node, overrides, "dock_pose_topic", "");
    if (dock_pose_topic_.empty()) {
      dock_pose_topic_ = kDefaultDockPoseTopic;
      overrides.emplace_back("dock_pose_topic", dock_pose_topic_);
    }
    rclcpp::NodeOptions options;
    options.parameter_overrides(overrides);
    if (settings_.node == NodeKind::kFeature) {
      program_.feature = std::make_shared<align_model::FeatureNode>(options);
      program_.node = program_.feature;
    } else {
      program_.line = std::make_shared<align_node::AlignNode>(options);
      program_.node = program_.line;
    }
  }

  void build_simulator(int index)
  {
    const Pose2D & start = result_.start;
    rclcpp::NodeOptions options;
    options.use_global_arguments(false);
    options.parameter_overrides(
    {
      rclcpp::Parameter("scene_file", settings_.scene_file),
      rclcpp::Parameter("seed", static_cast<std::int64_t>(settings_.seed * 1000 + static_cast<std::uint64_t>(index))),
      rclcpp::Parameter("scan_topic", program_.node->get_parameter("scan_topic").as_string()),
      rclcpp::Parameter("scan_qos", program_.node->get_parameter("scan_qos").as_string()),
      rclcpp::Parameter("base_frame", program_.base_frame()),
      rclcpp::Parameter("scanner", settings_.scanner),
      rclcpp::Parameter("range_noise", settings_.range_noise),
      rclcpp::Parameter("odom_scale_error", settings_.odometry_error.scale),
      rclcpp::Parameter("odom_heading_drift", settings_.odometry_error.heading_drift),
      rclcpp::Parameter("scan_rate", settings_.scan_rate),
      rclcpp::Parameter("scan_latency", settings_.scan_latency),
      rclcpp::Parameter("initial_pose", std::vector<double>{start.x, start.y, start.yaw}),
    });
    simulator_ = std::make_shared<DockSimNode>(options, Stepping::kExternal);
  }

  void build_controller()
  {
    DockingControllerSettings settings;
    settings.docked_in_target = scene_.docked;
    ControllerTopics topics;
    topics.dock_pose = dock_pose_topic_;
    topics.base_frame = program_.base_frame();
    rclcpp::NodeOptions options;
    options.use_global_arguments(false);
    controller_ = std::make_shared<DockControllerNode>(options, settings, topics, program_.enable());
  }

  // Switches the detector through its own enable path and waits until it
  // has taken the request.
  void switch_detector(bool on)
  {
    const std::size_t signals = tap_->counts().enable_signals;
    const std::size_t answers = controller_->enable_answers();
    controller_->request_detector(on);
    if (program_.feature) {
      spin_until(
        [&] {return tap_->counts().enable_signals > signals;}, "the enable message never arrived",
        {&program_executor_});
    } else {
      spin_until(
        [&] {return controller_->enable_answers() > answers;}, "the enable service never answered",
        {&program_executor_, &controller_executor_});
    }
  }

  // One control period ending at `now`: the robot moves, the clock, odometry
  // and due scans go out and are taken in turn, then the controller commands.
  void step(std::int64_t now)
  {
    const std::size_t scans = simulator_->step_to(now);
    // Nodes on simulated time take /clock on a thread of their own.
    spin_until([&] {return program_.node->now().nanoseconds() == now;}, "the program's clock did not follow /clock", {});
    spin_until(
      [&] {return controller_->last_odometry_ns() == now;}, "odometry never reached the controller",
      {&controller_executor_});
    truth_.add(now, simulator_->world().true_pose());
    result_.path.push_back(simulator_->world().true_pose());
    for (std::size_t k = 0; k < scans; ++k) {
      deliver_scan();
    }
    controller_->control(now);
    ++commands_sent_;
    spin_until(
      [&] {return simulator_->commands_received() == commands_sent_;}, "cmd_vel never reached the simulated robot",
      {&simulator_executor_});
  }

  // Publishes the next due scan, lets the program take it and, when the
  // program found the target, the controller take the pose.
  void deliver_scan()
  {
    const align_tools::LogCounts before = tap_->counts();
    const std::uint64_t staged_before = program_.funnel().scans();
    const std::int64_t stamp = simulator_->publish_next_scan();
    spin_until(
      [&] {return tap_->counts().scans_received > before.scans_received;}, "a scan never reached the program",
      {&program_executor_});
    if (tap_->counts().transform_drops > before.transform_drops) {
      wait_for_transform();
      return;
    }
    if (program_.funnel().scans() > staged_before &&
      program_.funnel().last() == align_model::FunnelStage::kFound)
    {
      spin_until(
        [&] {return controller_->last_pose_stamp_ns() == stamp;}, "a target pose never reached the controller",
        {&controller_executor_});
      const std::optional<Pose2D> robot = truth_.at(stamp);
      if (robot) {
        result_.detections.push_back(align_tools::compose(*robot, controller_->last_target_in_base()));
      }
    }
  }

  // The feature program drops its first scan while its listener fetches the
  // laser mount on a thread of its own; later scans must not depend on how
  // fast that thread is.
  void wait_for_transform()
  {
    if (!program_.feature) {
      return;
    }
    const auto listener = program_.feature->frame_listener();
    const std::string frame = program_.base_frame();
    const std::string laser = scene_.laser.frame_id;
    spin_until(
      [&] {return listener->is_stored(frame, laser);}, "the program never stored the laser mount",
      {&program_executor_}, kTransformWait);
  }

  void finish(std::int64_t elapsed_ns)
  {
    const DockingController & controller = controller_->controller();
    result_.docked = controller.state() == DockingState::kDocked;
    if (result_.docked) {
      result_.end = "docked";
    } else if (controller.state() == DockingState::kFailed) {
      result_.end = controller.failure();
    } else {
      result_.end = "timeout";
    }
    result_.time_s = static_cast<double>(elapsed_ns) * 1e-9;
    result_.poses = controller_->poses_received();
    result_.final_true_pose = simulator_->world().true_pose();
    result_.final_error = error_to_goal(result_.final_true_pose, result_.docked_pose);
  }

  // Runs the given executors (none: just waits) until `done`; throws naming
  // `failure` after `limit`.
  void spin_until(
    const std::function<bool()> & done, const char * failure,
    std::initializer_list<rclcpp::executors::SingleThreadedExecutor *> executors,
    std::chrono::nanoseconds limit = kDeliveryWait)
  {
    const auto deadline = Clock::now() + limit;
    const auto spin = [&] {
        for (auto * executor : executors) {
          executor->spin_some();
        }
      };
    spin();
    while (!done()) {
      if (Clock::now() > deadline) {
        throw std::runtime_error(std::string("trial ") + std::to_string(result_.trial) + ": " + failure);
      }
      if (executors.size() == 1) {
        (*executors.begin())->spin_once(std::chrono::milliseconds(1));
      } else {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
      spin();
    }
  }

  const TrialSettings & settings_;
  const Scene & scene_;
  TrialResult result_;
  Program program_;
  std::string dock_pose_topic_;
  std::shared_ptr<DockSimNode> simulator_;
  std::shared_ptr<DockControllerNode> controller_;
  std::unique_ptr<align_tools::LogTap> tap_;
  rclcpp::executors::SingleThreadedExecutor program_executor_;
  rclcpp::executors::SingleThreadedExecutor simulator_executor_;
  rclcpp::executors::SingleThreadedExecutor controller_executor_;
  PoseHistory truth_;
  std::size_t commands_sent_ = 0;
};

}  // namespace

Pose2D staging_pose(const Scene & scene, std::uint64_t seed, int index)
{
  align_tools::PortableRandom random(seed * 0x9E3779B97F4A7C15ULL + static_cast<std::uint64_t>(index));
  const StagingRegion & region = scene.staging;
  const double along = region.along_min + random.uniform() * (region.along_max - region.along_min);
  const double across = region.across_min + random.uniform() * (region.across_max - region.across_min);
  const double yaw = region.yaw_min + random.uniform() * (region.yaw_max - region.yaw_min);
  return align_tools::compose(docked_pose_in_world(scene), {along, across, yaw});
}

TrialRunner::TrialRunner(const TrialSettings & settings)
: settings_(settings), scene_(load_scene(settings.scene_file)) {}

TrialResult TrialRunner::run_trial(int index)
{
  Trial trial(settings_, scene_, index);
  return trial.run();
}

}  // namespace align_dock_sim
