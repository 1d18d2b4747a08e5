// Fuzzes align_feature_node's scan callback end to end: arbitrary parameter
// overrides (typed as the node declares them), enable messages and
// LaserScans of any shape, published on the node's topics and processed by
// spinning its executor.
//
// Input layout:
//   u8 profile (a base parameter set), u8 override count, then per override
//   u8 parameter index and its value (see node_fuzz_support.hpp),
//   u8 scan count (1..4), then the scans (scan_codec.hpp). Scan flags:
//   bit 0 send enable 0 before the scan, bit 1 send enable 1 before it,
//   bits 2-3 the scan's frame (laser, laser, "/laser", an unknown frame).
//
// Speed: a node only works once its background lookup has stored the laser
// mount, which takes tens of milliseconds. Nodes are therefore kept per
// parameter set (a few, least recently used first out) and reused while
// they are as good as new: the only state a scan leaves behind that changes
// later results is the candidate history and scores of the feature manager,
// which only a scan with a candidate touches, and such a scan publishes a
// pose. A node that logged a target pose is dropped, and its parameter set
// gets a few fresh nodes whose lookups start at once, so that one is usually
// ready when the next input with these parameters comes. The
// success-rate record also changes with every evaluated scan, but it only
// feeds a debug line.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "feature/feature_node.hpp"
#include "geometry_msgs/msg/transform_stamped.hpp"
#include "node_fuzz_support.hpp"
#include "scan_codec.hpp"
#include "tf2_msgs/msg/tf_message.hpp"
#include "zephyrax_protocol/msg/align.hpp"

namespace
{

using align_fuzz::Bytes;
using align_fuzz::LogSink;
using align_fuzz::ParamSpec;
using align_fuzz::ParamType;
using align_model::FeatureNode;
using LaserScan = sensor_msgs::msg::LaserScan;
using Align = zephyrax_protocol::msg::Align;

constexpr char kNodeName[] = "align_feature_node";
constexpr char kLaserFrame[] = "laser";
constexpr char kBaseFrame[] = "base_footprint";
constexpr std::size_t kCacheSize = 16;  // nodes, over all parameter sets
// Nodes kept ready for a parameter set whose inputs find targets: each such
// input uses up its node, and a fresh one needs tens of milliseconds.
constexpr std::size_t kSpares = 3;

// Watched log lines (indices into LogSink's counts); 0 is the scan line that
// deliver_scan() waits for.
constexpr std::size_t kPoseLine = 1;

const std::vector<ParamSpec> & specs()
{
  static const std::vector<ParamSpec> all{
    {"min_angle", ParamType::kDouble}, {"max_angle", ParamType::kDouble},
    {"min_intensity", ParamType::kDouble}, {"max_intensity", ParamType::kDouble},
    {"min_range", ParamType::kDouble}, {"max_range", ParamType::kDouble},
    {"threshold_split_neighbor", ParamType::kBool}, {"threshold_split", ParamType::kDouble},
    {"min_length", ParamType::kDouble}, {"min_points_per_line", ParamType::kInt},
    {"min_points_per_unit", ParamType::kInt}, {"points_max_distance", ParamType::kDouble},
    {"min_line_len", ParamType::kDouble}, {"max_line_len", ParamType::kDouble},
    {"target_angle", ParamType::kDouble}, {"angle_error", ParamType::kDouble},
    {"angle_type", ParamType::kInt}, {"anti_pose_angle", ParamType::kBool},
    {"weights_angle_error", ParamType::kDouble}, {"weights_distance_anti_x", ParamType::kDouble},
    {"weights_distance_last_f", ParamType::kDouble}, {"times", ParamType::kInt},
    {"enable_topic", ParamType::kString}, {"scan_topic", ParamType::kString},
    {"publish_frame", ParamType::kString}, {"pose_stamped_topic", ParamType::kString},
    {"debug", ParamType::kBool},
  };
  return all;
}

// Names for the string parameters: valid topics and frames, and ones that a
// topic or frame must refuse. Absolute names are left out on purpose: they
// would be shared by the cached nodes.
const std::vector<std::string> & strings()
{
  static const std::vector<std::string> all{
    "align_enable", "back_scan", kBaseFrame, "docking_pose", kLaserFrame, "", "bad name", "~/private",
    "9starts_with_digit", "a//b", "{sub}", "trailing/", "odom"};
  return all;
}

using Values = std::map<std::string, rclcpp::ParameterValue>;

Values profile(std::uint8_t choice)
{
  using rclcpp::ParameterValue;
  switch (choice % 6) {
    case 0: return {};  // the built-in defaults (which admit no plate)
    case 1:  // the bundled docking approach
      return {{"min_angle", ParameterValue(-1.5)}, {"max_angle", ParameterValue(1.5)},
        {"min_range", ParameterValue(0.05)}, {"threshold_split", ParameterValue(0.02)},
        {"points_max_distance", ParameterValue(0.05)}, {"min_line_len", ParameterValue(0.15)},
        {"max_line_len", ParameterValue(0.4)}};
    case 2:  // the deployed configuration, with the debug outputs
      return {{"min_angle", ParameterValue(-1.0)}, {"max_angle", ParameterValue(1.0)},
        {"min_intensity", ParameterValue(200.0)}, {"max_intensity", ParameterValue(256.0)},
        {"min_range", ParameterValue(0.05)}, {"min_line_len", ParameterValue(0.15)},
        {"max_line_len", ParameterValue(0.45)}, {"debug", ParameterValue(true)}};
    case 3:  // a raw-scale scanner (intensities in the thousands)
      return {{"min_intensity", ParameterValue(3000.0)}, {"max_intensity", ParameterValue(100000.0)},
        {"max_range", ParameterValue(30.0)}, {"min_line_len", ParameterValue(0.05)},
        {"max_line_len", ParameterValue(5.0)}, {"angle_error", ParameterValue(0.5)}};
    case 4:  // everything passes every band: the most points and segments
      return {{"min_intensity", ParameterValue(-1e300)}, {"max_intensity", ParameterValue(1e300)},
        {"min_range", ParameterValue(-1.0)}, {"max_range", ParameterValue(1e300)},
        {"min_line_len", ParameterValue(0.0)}, {"max_line_len", ParameterValue(1e300)},
        {"points_max_distance", ParameterValue(1e300)}, {"angle_error", ParameterValue(1e300)},
        {"debug", ParameterValue(true)}, {"times", ParameterValue(std::int64_t{2})}};
    default:  // one scan of history, strict corner search
      return {{"times", ParameterValue(std::int64_t{1})}, {"min_line_len", ParameterValue(0.15)},
        {"max_line_len", ParameterValue(0.45)}, {"angle_error", ParameterValue(0.05)},
        {"publish_frame", ParameterValue(std::string(kLaserFrame))}};
  }
}

struct Entry
{
  std::string key;
  std::string name_space;
  std::shared_ptr<FeatureNode> node;
  std::string publish_frame;
  rclcpp::Publisher<LaserScan>::SharedPtr scan_publisher;
  rclcpp::Publisher<Align>::SharedPtr enable_publisher;
};

class Rig
{
public:
  Rig()
  {
    rclcpp::init(0, nullptr);
    LogSink::install({"Get BACK_SCAN laser data", "TARGET_POSE:"});
    probe_ = std::make_shared<rclcpp::Node>("align_fuzz_probe");
    executor_ = std::make_shared<rclcpp::executors::SingleThreadedExecutor>();
    executor_->add_node(probe_);
    // The laser mount, latched like a static transform broadcaster does.
    geometry_msgs::msg::TransformStamped mount;
    mount.header.frame_id = kBaseFrame;
    mount.child_frame_id = kLaserFrame;
    mount.transform.translation.x = -0.3;
    mount.transform.translation.y = 0.05;
    mount.transform.rotation.z = std::sin(1.5);
    mount.transform.rotation.w = std::cos(1.5);
    tf2_msgs::msg::TFMessage message;
    message.transforms.push_back(mount);
    tf_publisher_ = probe_->create_publisher<tf2_msgs::msg::TFMessage>(
      "/tf_static", rclcpp::QoS(1).transient_local());
    tf_publisher_->publish(message);
  }

  void run(Bytes & in)
  {
    Values values = profile(in.u8());
    align_fuzz::read_overrides(in, specs(), strings(), values);
    const std::string key = align_fuzz::parameter_key(values);
    Entry * entry = find(key);
    if (entry == nullptr) {
      entry = create(key, values);
    }
    if (entry == nullptr) {
      return;  // the node refused these parameters at start-up
    }
    const auto wait_start = std::chrono::steady_clock::now();
    await_transform(*entry);
    waited_ += std::chrono::steady_clock::now() - wait_start;
    register_exit_handler();
    if (stats_ && ++inputs_ % 500 == 0) {
      std::fprintf(stderr, "align_fuzz: %zu inputs, %zu nodes created, %.1f s waiting for transforms\n",
        inputs_, next_id_, std::chrono::duration<double>(waited_).count());
    }

    LogSink::reset();
    executor_->add_node(entry->node);
    bool enabled = true;
    const std::size_t scans = 1 + in.u8() % 4;
    for (std::size_t i = 0; i < scans; ++i) {
      align_fuzz::FuzzScan fuzz_scan = align_fuzz::read_scan(in);
      if (fuzz_scan.flags & 1) {
        send_enable(*entry, 0);
        enabled = false;
      }
      if (fuzz_scan.flags & 2) {
        send_enable(*entry, 1);
        enabled = true;
      }
      static const char * const frames[] = {kLaserFrame, kLaserFrame, "/laser", "sensor"};
      fuzz_scan.scan.header.frame_id = frames[(fuzz_scan.flags >> 2) & 3];
      fuzz_scan.scan.header.stamp.sec = 100;
      align_fuzz::deliver_scan(entry->scan_publisher, *executor_, fuzz_scan.scan);
    }
    if (!enabled) {
      send_enable(*entry, 1);
    }
    executor_->remove_node(entry->node);

    if (report_) {
      std::fprintf(stderr, "align_fuzz: %zu scans, %zu poses\n", scans, LogSink::count(kPoseLine));
    }
    if (LogSink::count(kPoseLine) > 0) {
      // The feature manager has a history now: later inputs get new nodes,
      // whose lookups start at once.
      drop(entry);
      while (count(key) < kSpares && create(key, values) != nullptr) {
      }
    }
  }

  // The one rig of the process, for the exit handler.
  static Rig *& instance()
  {
    static Rig * rig = nullptr;
    return rig;
  }

  // Ends every node and waits for their lookup workers, as the program does
  // before it exits: a worker still starting a transform listener while the
  // exit handlers destroy the library's statics would use freed memory.
  void shut_down()
  {
    entries_.clear();
    align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(10));
  }

private:
  // Registered once a node has looked up its mount, so that it runs before
  // the statics that the lookup created are destroyed.
  void register_exit_handler()
  {
    static const bool registered = [] {
        std::atexit([] {instance()->shut_down();});
        return true;
      }();
    (void)registered;
  }

  // A node for the parameter set, preferring one whose mount is stored
  // (else the oldest); moved to the front of the cache.
  Entry * find(const std::string & key)
  {
    auto chosen = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->key == key) {
        chosen = it;
        if (ready(*it)) {
          break;
        }
      }
    }
    if (chosen == entries_.end()) {
      return nullptr;
    }
    entries_.splice(entries_.begin(), entries_, chosen);
    return &entries_.front();
  }

  std::size_t count(const std::string & key) const
  {
    std::size_t n = 0;
    for (const auto & entry : entries_) {
      n += entry.key == key ? 1 : 0;
    }
    return n;
  }

  // Starts a node for the parameter set and its lookup of the mount.
  Entry * create(const std::string & key, const Values & values)
  {
    Entry entry;
    entry.key = key;
    entry.name_space = "/fz" + std::to_string(next_id_++);
    try {
      entry.node = std::make_shared<FeatureNode>(
        align_fuzz::isolated_options(entry.name_space, align_fuzz::to_parameters(values)));
    } catch (const std::exception &) {
      // Refused with an error, as it must be (bad type, times < 1, a
      // value too wide for 32 bits, an invalid topic name).
      return nullptr;
    }
    entry.publish_frame = align_fuzz::string_value(values, "publish_frame", kBaseFrame);
    entry.scan_publisher = probe_->create_publisher<LaserScan>(
      align_fuzz::resolve_topic(entry.name_space, kNodeName, align_fuzz::string_value(values, "scan_topic", "back_scan")),
      rclcpp::QoS(1));
    entry.enable_publisher = probe_->create_publisher<Align>(
      align_fuzz::resolve_topic(entry.name_space, kNodeName, align_fuzz::string_value(values, "enable_topic", "align_enable")),
      rclcpp::QoS(1));
    align_fuzz::wait_for_match(*entry.scan_publisher);
    align_fuzz::wait_for_match(*entry.enable_publisher);
    // An empty scan only starts the background lookup of the mount.
    executor_->add_node(entry.node);
    LaserScan primer;
    primer.header.frame_id = kLaserFrame;
    align_fuzz::deliver_scan(entry.scan_publisher, *executor_, primer);
    executor_->remove_node(entry.node);

    entries_.push_front(std::move(entry));
    while (entries_.size() > kCacheSize) {
      entries_.pop_back();
    }
    return &entries_.front();
  }

  void drop(const Entry * entry)
  {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (&*it == entry) {
        entries_.erase(it);
        break;
      }
    }
  }

  bool ready(const Entry & entry) const
  {
    return !resolvable(entry) || entry.node->frame_listener()->is_stored(entry.publish_frame, kLaserFrame);
  }

  static bool resolvable(const Entry & entry)
  {
    return entry.publish_frame == kBaseFrame || entry.publish_frame == kLaserFrame;
  }

  // Waits for the mount when the node can find it at all; a node whose
  // publish frame is not in the tree keeps dropping scans, which is part of
  // what is fuzzed.
  void await_transform(const Entry & entry)
  {
    if (!resolvable(entry)) {
      return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!entry.node->frame_listener()->is_stored(entry.publish_frame, kLaserFrame)) {
      if (std::chrono::steady_clock::now() > deadline) {
        std::fprintf(stderr, "the laser mount was not stored within 20 s\n");
        std::abort();
      }
      if (!entry.node->frame_listener()->is_worker_running()) {
        // The first lookup window ran out (a very slow machine): retry.
        executor_->add_node(entry.node);
        LaserScan primer;
        primer.header.frame_id = kLaserFrame;
        align_fuzz::deliver_scan(entry.scan_publisher, *executor_, primer);
        executor_->remove_node(entry.node);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
  }

  void send_enable(const Entry & entry, std::int32_t enable)
  {
    Align message;
    message.enable = enable;
    entry.enable_publisher->publish(message);
    executor_->spin_some();
  }

  rclcpp::Node::SharedPtr probe_;
  std::shared_ptr<rclcpp::executors::SingleThreadedExecutor> executor_;
  rclcpp::Publisher<tf2_msgs::msg::TFMessage>::SharedPtr tf_publisher_;
  std::list<Entry> entries_;
  std::size_t next_id_ = 0;
  // ALIGN_FUZZ_REPORT=1: a line per input; =2: statistics every 500 inputs.
  const char * report_env_ = std::getenv("ALIGN_FUZZ_REPORT");
  const bool report_ = report_env_ != nullptr && std::string(report_env_) == "1";
  const bool stats_ = report_env_ != nullptr && std::string(report_env_) == "2";
  std::size_t inputs_ = 0;
  std::chrono::steady_clock::duration waited_{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  // Never destroyed: the exit handler above ends the nodes instead.
  static Rig * rig = Rig::instance() = new Rig;
  Bytes in(data, size);
  rig->run(in);
  return 0;
}
