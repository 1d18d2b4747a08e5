#include "align_tools/replay.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <thread>

#include "align_model/select_scan_data_from_angle.hpp"
#include "align_model_node/align_node.hpp"
#include "align_tools/json_writer.hpp"
#include "align_tools/log_tap.hpp"
#include "align_tools/mount_transform.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "feature/feature_node.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

namespace align_tools
{
namespace
{

using Clock = std::chrono::steady_clock;

// The listener's worker gives up after 5 s; waiting longer is pointless.
constexpr auto kTransformWait = std::chrono::seconds(5);
constexpr auto kDeliveryWait = std::chrono::seconds(10);
constexpr auto kClockWait = std::chrono::seconds(2);
// The node's diagnostics timer fires every second.
constexpr auto kDiagnosticsWait = std::chrono::milliseconds(1500);

const char * node_name(NodeKind kind)
{
  return kind == NodeKind::kFeature ? "align_feature_node" : "align_node";
}

rclcpp::NodeOptions node_options(const ReplaySettings & settings, bool force_debug)
{
  rclcpp::NodeOptions options;
  std::vector<rclcpp::Parameter> overrides = settings.parameter_overrides;
  if (settings.node == NodeKind::kLine && settings.laser_mount) {
    overrides.emplace_back("laser_to_base_x", settings.laser_mount->x);
    overrides.emplace_back("laser_to_base_y", settings.laser_mount->y);
    overrides.emplace_back("laser_to_base_th", settings.laser_mount->yaw);
  }
  overrides.emplace_back("use_sim_time", true);
  if (force_debug) {
    overrides.emplace_back("debug", true);
  }
  options.parameter_overrides(overrides);
  return options;
}

// Reads parameters as the node under replay will see them, with a plain
// node of the same name, so that nothing of the real node runs twice.
template<typename T>
T configured_value(const ReplaySettings & settings, const std::string & name, const T & fallback)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides(settings.parameter_overrides);
  options.start_parameter_services(false);
  options.start_parameter_event_publisher(false);
  auto reader = std::make_shared<rclcpp::Node>(node_name(settings.node), options);
  return reader->declare_parameter(name, fallback);
}

// Drives one node through a recording.
class Replayer
{
public:
  Replayer(const Recording & recording, const ReplaySettings & settings)
  : recording_(recording), settings_(settings)
  {
    run_.debug_requested = configured_value(settings, "debug", false);
    const bool force_debug = settings.collect_debug_outputs && !run_.debug_requested;
    if (settings.node == NodeKind::kFeature) {
      feature_node_ = std::make_shared<align_model::FeatureNode>(node_options(settings, force_debug));
      node_ = feature_node_;
    } else {
      line_node_ = std::make_shared<align_node::AlignNode>(node_options(settings, force_debug));
      node_ = line_node_;
    }
    tap_ = std::make_unique<LogTap>(node_->get_logger().get_name());
    probe_ = std::make_shared<rclcpp::Node>("align_replay_feeder", node_->get_namespace());
    executor_.add_node(node_);
    executor_.add_node(probe_);
    debug_ = node_->get_parameter("debug").as_bool();
    create_endpoints();
    wait_for_discovery();
  }

  ~Replayer()
  {
    executor_.remove_node(probe_);
    executor_.remove_node(node_);
  }

  ReplayRun run()
  {
    publish_static_transforms();
    for (current_scan_ = 0; current_scan_ < recording_.scans.size(); ++current_scan_) {
      feed(recording_.scans[current_scan_]);
    }
    if (!recording_.scans.empty()) {
      current_scan_ = recording_.scans.size() - 1;
      wait_for_final_diagnostics();
    }
    std::stable_sort(
      run_.published.begin(), run_.published.end(),
      [](const PublishedMessage & a, const PublishedMessage & b) {return a.source_timestamp < b.source_timestamp;});
    describe_view();
    return std::move(run_);
  }

private:
  void create_endpoints()
  {
    const std::string scan_topic = node_->get_parameter("scan_topic").as_string();
    scan_publisher_ = probe_->create_publisher<sensor_msgs::msg::LaserScan>(scan_topic, rclcpp::QoS(10));
    clock_publisher_ = probe_->create_publisher<rosgraph_msgs::msg::Clock>("/clock", rclcpp::QoS(10));
    tf_publisher_ = probe_->create_publisher<tf2_msgs::msg::TFMessage>(
      "/tf_static", rclcpp::QoS(100).transient_local());
    record<geometry_msgs::msg::PoseStamped>(node_->get_parameter("pose_stamped_topic").as_string(), Output::kPose);
    const std::string dock_pose_topic = node_->get_parameter("dock_pose_topic").as_string();
    if (!dock_pose_topic.empty()) {
      record<geometry_msgs::msg::PoseStamped>(dock_pose_topic, Output::kOther);
    }
    diagnostics_ = node_->get_parameter("diagnostics").as_bool();
    if (diagnostics_) {
      record<diagnostic_msgs::msg::DiagnosticArray>("/diagnostics", Output::kDiagnostics);
    }
    if (debug_) {
      record<sensor_msgs::msg::LaserScan>("align_scan", Output::kDebug);
      record<visualization_msgs::msg::Marker>("align_marker", Output::kDebug);
    }
  }

  // The node publishes diagnostics once a wall-clock second, and a replay is
  // often done sooner: wait for one report after the last scan, so that the
  // node's verdict on the whole run is printed too.
  void wait_for_final_diagnostics()
  {
    if (!diagnostics_) {
      return;
    }
    const std::size_t before = diagnostics_received_;
    spin_until([&] {return diagnostics_received_ > before;}, kDiagnosticsWait);
  }

  // Endpoints match only after discovery, and a scan published before its
  // subscription matched would be lost; so would outputs before the
  // recording subscriptions matched the node's publishers.
  void wait_for_discovery()
  {
    const auto matched = [this]() {
        if (scan_publisher_->get_subscription_count() == 0) {
          return false;
        }
        return std::all_of(
          subscriptions_.begin(), subscriptions_.end(),
          [](const rclcpp::SubscriptionBase::SharedPtr & s) {return s->get_publisher_count() > 0;});
      };
    spin_until(matched, kDeliveryWait);
  }

  // What a recorded topic is to the replay.
  enum class Output
  {
    kPose,  // the target pose, also kept typed for the summary
    kDebug,  // printed only when the configuration asked for debug
    kDiagnostics,
    kOther,
  };

  template<typename MessageT>
  void record(const std::string & topic, Output output)
  {
    // Filled in once the subscription exists (the name as resolved).
    auto resolved_topic = std::make_shared<std::string>(topic);
    auto subscription = probe_->create_subscription<MessageT>(
      topic, rclcpp::QoS(1000),
      [this, resolved_topic, output](
        std::shared_ptr<const MessageT> message, const rclcpp::MessageInfo & info) {
        PublishedMessage published;
        published.scan = current_scan_;
        published.topic = *resolved_topic;
        published.type = rosidl_generator_traits::name<MessageT>();
        published.json = to_json(*message);
        published.source_timestamp = info.get_rmw_message_info().source_timestamp;
        published.debug_output = output == Output::kDebug;
        if (output == Output::kPose || output == Output::kDebug) {
          keep_typed(published, message);
        }
        diagnostics_received_ += output == Output::kDiagnostics ? 1 : 0;
        run_.published.push_back(std::move(published));
      });
    *resolved_topic = subscription->get_topic_name();
    subscriptions_.push_back(subscription);
  }

  static void keep_typed(PublishedMessage & published, const std::shared_ptr<const geometry_msgs::msg::PoseStamped> & m)
  {
    published.pose = m;
  }
  static void keep_typed(PublishedMessage & published, const std::shared_ptr<const visualization_msgs::msg::Marker> & m)
  {
    published.marker = m;
  }
  static void keep_typed(PublishedMessage &, const std::shared_ptr<const sensor_msgs::msg::LaserScan> &) {}
  static void keep_typed(PublishedMessage &, const std::shared_ptr<const diagnostic_msgs::msg::DiagnosticArray> &) {}

  // Static transforms go out once, latched, before the first scan.
  void publish_static_transforms()
  {
    tf2_msgs::msg::TFMessage message;
    if (settings_.node == NodeKind::kFeature) {
      message.transforms = recording_.static_transforms;
      if (settings_.laser_mount && !recording_.scans.empty()) {
        message.transforms.push_back(
          mount_transform(
            *settings_.laser_mount, node_->get_parameter("publish_frame").as_string(),
            recording_.scans.front().header.frame_id));
      }
    }
    transform_expected_ = !message.transforms.empty();
    if (transform_expected_) {
      tf_publisher_->publish(message);
    } else if (settings_.node == NodeKind::kFeature) {
      run_.notes.push_back(
        "no static transform in the recording and no --tf: every scan ends at the transform gate");
    }
  }

  void spin_until(const std::function<bool()> & done, std::chrono::nanoseconds limit)
  {
    const auto deadline = Clock::now() + limit;
    while (!done() && Clock::now() < deadline) {
      executor_.spin_some();
      if (!done()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  }

  // Runs callbacks until the probe has seen nothing new for a few rounds.
  void drain()
  {
    int quiet_rounds = 0;
    while (quiet_rounds < 3) {
      const std::size_t before = run_.published.size();
      executor_.spin_some();
      quiet_rounds = run_.published.size() == before ? quiet_rounds + 1 : 0;
    }
  }

  void set_clock(const builtin_interfaces::msg::Time & stamp)
  {
    rosgraph_msgs::msg::Clock clock;
    clock.clock = stamp;
    clock_publisher_->publish(clock);
    if (clock_ignored_) {
      return;
    }
    const std::int64_t wanted = rclcpp::Time(stamp).nanoseconds();
    auto reached = [&]() {return node_->now().nanoseconds() == wanted;};
    spin_until(reached, kClockWait);
    if (!reached()) {
      clock_ignored_ = true;
      run_.notes.push_back("the node's clock does not follow /clock: output stamps are not reproducible");
    }
  }

  void feed(const sensor_msgs::msg::LaserScan & scan)
  {
    set_clock(scan.header.stamp);
    ScanOutcome outcome;
    const LogCounts before = tap_->counts();
    const std::uint64_t staged_before = funnel().scans();
    const auto start = Clock::now();
    scan_publisher_->publish(scan);
    auto received = [&]() {return tap_->counts().scans_received > before.scans_received;};
    spin_until(received, kDeliveryWait);
    if (!received()) {
      throw std::runtime_error("scan " + std::to_string(current_scan_) + " never reached the node");
    }
    outcome.processed = true;
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    outcome.dropped_at_transform = tap_->counts().transform_drops > before.transform_drops;
    if (funnel().scans() > staged_before) {
      outcome.stage = funnel().last();
    }
    if (outcome.stage == align_model::FunnelStage::kFound) {
      // The node has published its pose; on real middleware it reaches the
      // recording a moment later, and must not be counted for the next scan.
      spin_until([this] {return recorded_pose(current_scan_) != nullptr;}, kDeliveryWait);
    }
    drain();
    if (const auto * pose = recorded_pose(current_scan_)) {
      const auto & p = pose->pose.position;
      outcome.pose = Pose2D{p.x, p.y, p.z};
    }
    run_.outcomes.push_back(outcome);
    if (outcome.dropped_at_transform) {
      wait_for_transform(scan.header.frame_id);
    }
  }

  // The last pose recorded for `scan`, or null. Messages are recorded in
  // scan order, so the search runs back from the newest.
  const geometry_msgs::msg::PoseStamped * recorded_pose(std::size_t scan) const
  {
    for (auto it = run_.published.rbegin(); it != run_.published.rend() && it->scan == scan; ++it) {
      if (it->pose) {
        return it->pose.get();
      }
    }
    return nullptr;
  }

  // The node's own record of where its scans stopped.
  const align_model::DetectionFunnel & funnel() const
  {
    return feature_node_ ? feature_node_->detection_funnel() : line_node_->detection_funnel();
  }

  // The first scan starts the listener's worker and is dropped; waiting
  // until the worker has stored the transform keeps the results independent
  // of thread timing.
  void wait_for_transform(const std::string & laser_frame)
  {
    if (!feature_node_ || !transform_expected_ || transform_missing_) {
      return;
    }
    const std::string frame = node_->get_parameter("publish_frame").as_string();
    const auto listener = feature_node_->frame_listener();
    auto stored = [&]() {return listener->is_stored(frame, laser_frame);};
    spin_until(stored, kTransformWait);
    if (!stored()) {
      transform_missing_ = true;
      run_.notes.push_back(
        "no transform from '" + laser_frame + "' into '" + frame + "' within 5 s: later scans may be dropped too");
    }
  }

  void describe_view()
  {
    describe_view_frame();
    describe_analysis();
  }

  // The node's search settings as it holds them after the run.
  void describe_analysis()
  {
    AnalysisSettings & analysis = run_.view.analysis;
    analysis.line_program = settings_.node == NodeKind::kLine;
    analysis.band = run_.view.band;
    if (run_.view.laser_to_frame) {
      analysis.laser_to_frame = *run_.view.laser_to_frame;
    }
    auto number = [this](const char * name) {return node_->get_parameter(name).as_double();};
    auto integer = [this](const char * name) {return static_cast<int>(node_->get_parameter(name).as_int());};
    analysis.search.min_line_len = number("min_line_len");
    analysis.search.max_line_len = number("max_line_len");
    analysis.search.points_max_distance = number("points_max_distance");
    analysis.search.target_angle = number("target_angle");
    analysis.search.angle_error = number("angle_error");
    analysis.refit_method = node_->get_parameter("orthogonal_refit").as_bool() ?
      align_model::RefitMethod::kOrthogonal : align_model::RefitMethod::kLeastSquares;
    if (feature_node_) {
      analysis.detector = feature_node_->detector_configuration();
      analysis.min_angle = number("min_angle");
      analysis.max_angle = number("max_angle");
      analysis.search.two_sided_angle_test = node_->get_parameter("two_sided_angle_test").as_bool();
      return;
    }
    analysis.line_mount = std::array<double, 3>{
      number("laser_to_base_x"), number("laser_to_base_y"), number("laser_to_base_th")};
    analysis.refit = integer("angle_type") > 0;
    analysis.detector.threshold_split_neighbor = node_->get_parameter("threshold_split_neighbor").as_bool();
    analysis.detector.threshold_split = number("threshold_split");
    analysis.detector.min_length = number("min_length");
    analysis.detector.min_points_per_line = integer("min_points_per_line");
    analysis.detector.min_points_per_unit = integer("min_points_per_unit");
  }

  void describe_view_frame()
  {
    NodeView & view = run_.view;
    view.band.min_range = node_->get_parameter("min_range").as_double();
    view.band.max_range = node_->get_parameter("max_range").as_double();
    view.band.min_intensity = node_->get_parameter("min_intensity").as_double();
    view.band.max_intensity = node_->get_parameter("max_intensity").as_double();
    if (settings_.node == NodeKind::kLine) {
      view.frame = node_->get_parameter("base_frame_id").as_string();
      const double th = node_->get_parameter("laser_to_base_th").as_double();
      align_model::PlanarTransform transform;
      transform.r00 = std::cos(th); transform.r01 = -std::sin(th);
      transform.r10 = std::sin(th); transform.r11 = std::cos(th);
      transform.tx = node_->get_parameter("laser_to_base_x").as_double();
      transform.ty = node_->get_parameter("laser_to_base_y").as_double();
      view.laser_to_frame = transform;
      return;
    }
    view.frame = node_->get_parameter("publish_frame").as_string();
    if (recording_.scans.empty()) {
      return;
    }
    const std::string laser_frame = recording_.scans.front().header.frame_id;
    const auto listener = feature_node_->frame_listener();
    if (listener->is_stored(view.frame, laser_frame)) {
      const tf2::Transform stored = listener->get_transform(view.frame, laser_frame);
      align_model::PlanarTransform transform;
      transform.r00 = stored.getBasis()[0][0]; transform.r01 = stored.getBasis()[0][1];
      transform.r02 = stored.getBasis()[0][2];
      transform.r10 = stored.getBasis()[1][0]; transform.r11 = stored.getBasis()[1][1];
      transform.r12 = stored.getBasis()[1][2];
      transform.tx = stored.getOrigin().x(); transform.ty = stored.getOrigin().y();
      view.laser_to_frame = transform;
    }
  }

  const Recording & recording_;
  const ReplaySettings & settings_;
  ReplayRun run_;
  std::shared_ptr<align_model::FeatureNode> feature_node_;
  std::shared_ptr<align_node::AlignNode> line_node_;
  rclcpp::Node::SharedPtr node_;
  rclcpp::Node::SharedPtr probe_;
  std::unique_ptr<LogTap> tap_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_publisher_;
  rclcpp::Publisher<rosgraph_msgs::msg::Clock>::SharedPtr clock_publisher_;
  rclcpp::Publisher<tf2_msgs::msg::TFMessage>::SharedPtr tf_publisher_;
  std::vector<rclcpp::SubscriptionBase::SharedPtr> subscriptions_;
  std::size_t current_scan_ = 0;
  bool debug_ = false;
  bool diagnostics_ = false;
  std::size_t diagnostics_received_ = 0;
  bool transform_expected_ = false;
  bool transform_missing_ = false;
  bool clock_ignored_ = false;
};

}  // namespace

NodeKind parse_node_kind(const std::string & option, const std::string & text)
{
  if (text == "feature") {
    return NodeKind::kFeature;
  }
  if (text == "line") {
    return NodeKind::kLine;
  }
  throw std::invalid_argument(option + " takes 'feature' or 'line', not '" + text + "'");
}

std::string configured_scan_topic(const ReplaySettings & settings)
{
  return configured_value<std::string>(settings, "scan_topic", "back_scan");
}

ReplayRun replay_recording(const Recording & recording, const ReplaySettings & settings)
{
  Replayer replayer(recording, settings);
  ReplayRun run = replayer.run();
  const bool any_intensity = std::any_of(
    recording.scans.begin(), recording.scans.end(),
    [](const sensor_msgs::msg::LaserScan & scan) {return !scan.intensities.empty();});
  if (!recording.scans.empty() && !any_intensity) {
    run.notes.push_back(
      "the recording has no intensities: no reading can pass the intensity band, so no pose can be found");
  }
  return run;
}

std::string published_json_lines(const ReplayRun & run)
{
  std::string text;
  for (const auto & published : run.published) {
    if (published.debug_output && !run.debug_requested) {
      continue;
    }
    text += published_line(published.scan, published.topic, published.type, published.json) + "\n";
  }
  return text;
}

}  // namespace align_tools
