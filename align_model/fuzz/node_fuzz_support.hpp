// Pieces shared by the two node fuzzers: typed parameter overrides drawn
// from the input, a log sink that formats every line (so that a format
// string that does not match its arguments shows up under the sanitizers)
// and notes the lines a fuzzer reacts to, and the ROS set-up.
#ifndef ALIGN_MODEL_FUZZ__NODE_FUZZ_SUPPORT_HPP_
#define ALIGN_MODEL_FUZZ__NODE_FUZZ_SUPPORT_HPP_

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fuzz_bytes.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_fuzz
{

enum class ParamType {kDouble, kInt, kBool, kString};

struct ParamSpec
{
  const char * name;
  ParamType type;
};

inline double double_choice(Bytes & in)
{
  static const double table[] = {
    0.0, -0.0, 0.01, 0.02, 0.03, 0.05, 0.1, 0.15, 0.3, 0.45, 1.0, 1.047, 2.0, 3.14, -3.14, 250.0, 255.0,
    -1.0, 3000.0, 100000.0, 1e300, -1e300, 4.9e-324, -2.2e-308,
    std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
    std::numeric_limits<double>::quiet_NaN(), 1e-5, 2e-5, 0.2, -1.5, 1.5,
  };
  constexpr std::size_t kTable = sizeof(table) / sizeof(table[0]);
  const std::uint8_t pick = in.u8();
  if (pick < kTable) {
    return table[pick];
  }
  if (pick == 0xff) {
    return in.raw_double();
  }
  return (static_cast<double>(pick) - 140.0) * 0.05;
}

inline std::int64_t int_choice(Bytes & in)
{
  static const std::int64_t table[] = {
    0, 1, 2, 3, 5, 10, 20, 100, -1, -5,
    std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min(),
    std::int64_t{1} << 31, -(std::int64_t{1} << 31) - 1,
    std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min(),
  };
  const std::uint8_t pick = in.u8();
  if (pick == 0xff) {
    return static_cast<std::int64_t>(in.u64());
  }
  return table[pick % (sizeof(table) / sizeof(table[0]))];
}

inline std::string string_choice(Bytes & in, const std::vector<std::string> & table)
{
  return table[in.u8() % table.size()];
}

// Reads `count` overrides: each a parameter index and its value.
inline void read_overrides(
  Bytes & in, const std::vector<ParamSpec> & specs, const std::vector<std::string> & strings,
  std::map<std::string, rclcpp::ParameterValue> & values)
{
  const std::size_t count = in.u8() % 7;
  for (std::size_t i = 0; i < count; ++i) {
    const ParamSpec & spec = specs[in.u8() % specs.size()];
    switch (spec.type) {
      case ParamType::kDouble: values[spec.name] = rclcpp::ParameterValue(double_choice(in)); break;
      case ParamType::kInt: values[spec.name] = rclcpp::ParameterValue(int_choice(in)); break;
      case ParamType::kBool: values[spec.name] = rclcpp::ParameterValue((in.u8() & 1) != 0); break;
      case ParamType::kString: values[spec.name] = rclcpp::ParameterValue(string_choice(in, strings)); break;
    }
  }
}

inline std::vector<rclcpp::Parameter> to_parameters(const std::map<std::string, rclcpp::ParameterValue> & values)
{
  std::vector<rclcpp::Parameter> out;
  for (const auto & [name, value] : values) {
    out.emplace_back(name, value);
  }
  return out;
}

// A key that tells parameter sets apart bit for bit (NaN payloads and -0
// included), so that a cached node always runs with exactly the input's set.
inline std::string parameter_key(const std::map<std::string, rclcpp::ParameterValue> & values)
{
  std::ostringstream key;
  for (const auto & [name, value] : values) {
    key << name << '=';
    switch (value.get_type()) {
      case rclcpp::ParameterType::PARAMETER_DOUBLE: {
          const double number = value.get<double>();
          std::uint64_t bits;
          std::memcpy(&bits, &number, sizeof(bits));
          key << 'd' << bits;
          break;
        }
      case rclcpp::ParameterType::PARAMETER_INTEGER: key << 'i' << value.get<std::int64_t>(); break;
      case rclcpp::ParameterType::PARAMETER_BOOL: key << 'b' << value.get<bool>(); break;
      case rclcpp::ParameterType::PARAMETER_STRING: key << 's' << value.get<std::string>().size() << ':'
                                                         << value.get<std::string>(); break;
      default: key << '?'; break;
    }
    key << ';';
  }
  return key.str();
}

// Every log line is formatted into a buffer and dropped; lines starting
// with a watched prefix are counted.
class LogSink
{
public:
  static void install(std::vector<std::string> watched)
  {
    watched_() = std::move(watched);
    rcutils_logging_set_default_logger_level(RCUTILS_LOG_SEVERITY_DEBUG);
    rcutils_logging_set_output_handler(&LogSink::handle);
  }
  static std::size_t count(std::size_t watched_index) {return counts_()[watched_index].load();}
  static void reset()
  {
    for (std::size_t i = 0; i < kMaxWatched; ++i) {
      counts_()[i].store(0);
    }
  }

private:
  static constexpr std::size_t kMaxWatched = 8;
  static std::vector<std::string> & watched_()
  {
    static std::vector<std::string> w;
    return w;
  }
  static std::atomic<std::size_t> * counts_()
  {
    static std::atomic<std::size_t> c[kMaxWatched];
    return c;
  }
  static void handle(
    const rcutils_log_location_t *, int, const char *, rcutils_time_point_value_t,
    const char * format, va_list * args)
  {
    char buffer[1024];
    va_list copy;
    va_copy(copy, *args);
    std::vsnprintf(buffer, sizeof(buffer), format, copy);
    va_end(copy);
    const auto & watched = watched_();
    for (std::size_t i = 0; i < watched.size() && i < kMaxWatched; ++i) {
      if (std::strncmp(buffer, watched[i].c_str(), watched[i].size()) == 0) {
        ++counts_()[i];
      }
    }
  }
};

// Node options for a node under test: its own namespace keeps its topics
// apart from every other cached node's, so a scan reaches exactly one node.
inline rclcpp::NodeOptions isolated_options(
  const std::string & name_space, const std::vector<rclcpp::Parameter> & overrides)
{
  rclcpp::NodeOptions options;
  options.arguments({"--ros-args", "-r", "__ns:=" + name_space});
  options.parameter_overrides(overrides);
  options.start_parameter_event_publisher(false);
  options.start_parameter_services(false);
  return options;
}

// Where a topic parameter of a node in `name_space` ends up (relative and
// private names only: the string table has no absolute ones).
inline std::string resolve_topic(const std::string & name_space, const std::string & node_name, const std::string & topic)
{
  if (!topic.empty() && topic[0] == '~') {
    return name_space + "/" + node_name + topic.substr(1);
  }
  return name_space + "/" + topic;
}

// The string override `name`, or `fallback` when the input set none.
inline std::string string_value(
  const std::map<std::string, rclcpp::ParameterValue> & values, const std::string & name, const std::string & fallback)
{
  const auto it = values.find(name);
  return it == values.end() ? fallback : it->second.get<std::string>();
}

// Waits until discovery has matched the probe's publisher with the node's
// subscription: a message published before the match is lost, as on real
// middleware.
inline void wait_for_match(const rclcpp::PublisherBase & publisher)
{
  for (int i = 0; i < 2000 && publisher.get_subscription_count() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (publisher.get_subscription_count() == 0) {
    std::fprintf(stderr, "the node's subscription on %s never matched\n", publisher.get_topic_name());
    std::abort();
  }
}

// Publishes the scan and spins until the node has logged taking it (the
// sink's first watched line, the callback's first log line).
inline void deliver_scan(
  const rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr & publisher,
  rclcpp::executors::SingleThreadedExecutor & executor, const sensor_msgs::msg::LaserScan & scan)
{
  constexpr std::size_t kScanLine = 0;
  const std::size_t before = LogSink::count(kScanLine);
  publisher->publish(scan);
  for (int i = 0; i < 100 && LogSink::count(kScanLine) == before; ++i) {
    executor.spin_some();
  }
  if (LogSink::count(kScanLine) == before) {
    std::fprintf(stderr, "the node did not take a published scan\n");
    std::abort();
  }
}

}  // namespace align_fuzz

#endif  // ALIGN_MODEL_FUZZ__NODE_FUZZ_SUPPORT_HPP_
