// Fuzzes align_node's scan callback end to end: arbitrary parameter
// overrides (typed as the node declares them), SetBool enable requests and
// LaserScans of any shape, published on the node's topic and processed by
// spinning its executor.
//
// Input layout:
//   u8 profile (a base parameter set), u8 override count, then per override
//   u8 parameter index and its value (see node_fuzz_support.hpp),
//   u8 scan count (1..4), then the scans (scan_codec.hpp). Scan flags:
//   bit 0 request enable false before the scan, bit 1 request true.
//
// The program keeps no state from scan to scan besides its enable flag,
// which every input leaves set again, so a node is kept per parameter set
// (a few, least recently used first out) and reused.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "node_fuzz_support.hpp"
#include "scan_codec.hpp"
#include "std_srvs/srv/set_bool.hpp"

namespace
{

using align_fuzz::Bytes;
using align_fuzz::LogSink;
using align_fuzz::ParamSpec;
using align_fuzz::ParamType;
using align_node::AlignNode;
using LaserScan = sensor_msgs::msg::LaserScan;
using SetBool = std_srvs::srv::SetBool;

constexpr char kNodeName[] = "align_node";
constexpr std::size_t kCacheSize = 16;

const std::vector<ParamSpec> & specs()
{
  static const std::vector<ParamSpec> all{
    {"enable_service", ParamType::kString}, {"scan_topic", ParamType::kString},
    {"pose_stamped_topic", ParamType::kString}, {"debug", ParamType::kBool},
    {"threshold_split_neighbor", ParamType::kBool}, {"threshold_split", ParamType::kDouble},
    {"min_length", ParamType::kDouble}, {"min_points_per_line", ParamType::kInt},
    {"min_points_per_unit", ParamType::kInt}, {"laser_to_base_x", ParamType::kDouble},
    {"laser_to_base_y", ParamType::kDouble}, {"laser_to_base_th", ParamType::kDouble},
    {"base_frame_id", ParamType::kString}, {"min_intensity", ParamType::kDouble},
    {"max_intensity", ParamType::kDouble}, {"min_range", ParamType::kDouble},
    {"max_range", ParamType::kDouble}, {"points_max_distance", ParamType::kDouble},
    {"min_line_len", ParamType::kDouble}, {"max_line_len", ParamType::kDouble},
    {"target_angle", ParamType::kDouble}, {"angle_error", ParamType::kDouble},
    {"angle_type", ParamType::kInt}, {"anti_pose_angle", ParamType::kBool},
  };
  return all;
}

// Absolute names are left out on purpose: they would be shared by the
// cached nodes.
const std::vector<std::string> & strings()
{
  static const std::vector<std::string> all{
    "align_enable", "back_scan", "base_footprint", "docking_pose", "", "bad name", "~/private",
    "9starts_with_digit", "a//b", "{sub}", "trailing/", "odom"};
  return all;
}

using Values = std::map<std::string, rclcpp::ParameterValue>;

Values profile(std::uint8_t choice)
{
  using rclcpp::ParameterValue;
  switch (choice % 5) {
    case 0: return {};  // the built-in defaults (which admit no plate)
    case 1:  // the bundled docking approach
      return {{"laser_to_base_th", ParameterValue(3.141592653589793)}, {"min_range", ParameterValue(0.05)},
        {"threshold_split", ParameterValue(0.02)}, {"points_max_distance", ParameterValue(0.05)},
        {"min_line_len", ParameterValue(0.15)}, {"max_line_len", ParameterValue(0.4)}};
    case 2:  // the deployed configuration, with the debug outputs
      return {{"min_line_len", ParameterValue(0.15)}, {"max_line_len", ParameterValue(0.45)},
        {"debug", ParameterValue(true)}};
    case 3:  // a raw-scale scanner, no refit
      return {{"min_intensity", ParameterValue(3000.0)}, {"max_intensity", ParameterValue(100000.0)},
        {"max_range", ParameterValue(30.0)}, {"min_line_len", ParameterValue(0.05)},
        {"max_line_len", ParameterValue(5.0)}, {"angle_type", ParameterValue(std::int64_t{0})}};
    default:  // everything passes every band, heading towards the base
      return {{"min_intensity", ParameterValue(-1e300)}, {"max_intensity", ParameterValue(1e300)},
        {"min_range", ParameterValue(-1.0)}, {"max_range", ParameterValue(1e300)},
        {"min_line_len", ParameterValue(0.0)}, {"max_line_len", ParameterValue(1e300)},
        {"points_max_distance", ParameterValue(1e300)}, {"angle_error", ParameterValue(1e300)},
        {"angle_type", ParameterValue(std::int64_t{-1})}, {"debug", ParameterValue(true)}};
  }
}

struct Entry
{
  std::string key;
  std::shared_ptr<AlignNode> node;
  rclcpp::Publisher<LaserScan>::SharedPtr scan_publisher;
  rclcpp::Client<SetBool>::SharedPtr enable_client;
};

class Rig
{
public:
  Rig()
  {
    rclcpp::init(0, nullptr);
    LogSink::install({"\n\n\nGet BACK_SCAN laser data"});
    probe_ = std::make_shared<rclcpp::Node>("align_fuzz_probe");
    executor_ = std::make_shared<rclcpp::executors::SingleThreadedExecutor>();
    executor_->add_node(probe_);
  }

  void run(Bytes & in)
  {
    Values values = profile(in.u8());
    align_fuzz::read_overrides(in, specs(), strings(), values);
    Entry * entry = find_or_create(align_fuzz::parameter_key(values), values);
    if (entry == nullptr) {
      return;
    }
    executor_->add_node(entry->node);
    bool enabled = true;
    const std::size_t scans = 1 + in.u8() % 4;
    for (std::size_t i = 0; i < scans; ++i) {
      align_fuzz::FuzzScan fuzz_scan = align_fuzz::read_scan(in);
      if (fuzz_scan.flags & 1) {
        request_enable(*entry, false);
        enabled = false;
      }
      if (fuzz_scan.flags & 2) {
        request_enable(*entry, true);
        enabled = true;
      }
      fuzz_scan.scan.header.frame_id = "laser_back";
      align_fuzz::deliver_scan(entry->scan_publisher, *executor_, fuzz_scan.scan);
    }
    if (!enabled) {
      request_enable(*entry, true);
    }
    executor_->remove_node(entry->node);
  }

private:
  Entry * find_or_create(const std::string & key, const Values & values)
  {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->key == key) {
        entries_.splice(entries_.begin(), entries_, it);
        return &entries_.front();
      }
    }
    Entry entry;
    entry.key = key;
    const std::string name_space = "/fz" + std::to_string(next_id_++);
    try {
      entry.node = std::make_shared<AlignNode>(
        align_fuzz::isolated_options(name_space, align_fuzz::to_parameters(values)));
    } catch (const std::exception &) {
      return nullptr;  // refused at start-up with an error, as it must be
    }
    entry.scan_publisher = probe_->create_publisher<LaserScan>(
      align_fuzz::resolve_topic(name_space, kNodeName, align_fuzz::string_value(values, "scan_topic", "back_scan")),
      rclcpp::QoS(1));
    entry.enable_client = probe_->create_client<SetBool>(
      align_fuzz::resolve_topic(name_space, kNodeName, align_fuzz::string_value(values, "enable_service", "align_enable")));
    align_fuzz::wait_for_match(*entry.scan_publisher);
    if (!entry.enable_client->wait_for_service(std::chrono::seconds(2))) {
      std::fprintf(stderr, "the node's enable service never appeared\n");
      std::abort();
    }
    entries_.push_front(std::move(entry));
    while (entries_.size() > kCacheSize) {
      entries_.pop_back();
    }
    return &entries_.front();
  }

  void request_enable(const Entry & entry, bool data)
  {
    auto request = std::make_shared<SetBool::Request>();
    request->data = data;
    auto pending = entry.enable_client->async_send_request(request);
    for (int i = 0; i < 1000; ++i) {
      executor_->spin_some();
      if (pending.future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        if (!pending.future.get()->success) {
          std::fprintf(stderr, "the enable request was refused\n");
          std::abort();
        }
        return;
      }
    }
    std::fprintf(stderr, "the enable request was not answered\n");
    std::abort();
  }

  rclcpp::Node::SharedPtr probe_;
  std::shared_ptr<rclcpp::executors::SingleThreadedExecutor> executor_;
  std::list<Entry> entries_;
  std::size_t next_id_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  static Rig & rig = *new Rig;
  Bytes in(data, size);
  rig.run(in);
  return 0;
}
