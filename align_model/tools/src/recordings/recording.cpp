#include "align_tools/recording.hpp"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "align_tools/cdr.hpp"
#include "align_tools/recording_error.hpp"
#include "align_tools/ros1_bag.hpp"
#include "align_tools/rosbag2_sqlite.hpp"
#include "align_tools/scan_yaml.hpp"

namespace align_tools
{
namespace
{

const char kRos2ScanType[] = "sensor_msgs/msg/LaserScan";
const char kRos2TfType[] = "tf2_msgs/msg/TFMessage";
const char kRos1ScanType[] = "sensor_msgs/LaserScan";
const char kRos1TfType[] = "tf2_msgs/TFMessage";
const char kStaticTopic[] = "/tf_static";

// A message as both bag readers give it, for the shared topic logic.
struct RawMessage
{
  const std::string * topic;
  const std::string * type;
  const std::vector<std::uint8_t> * data;
};

std::string with_leading_slash(const std::string & name)
{
  return !name.empty() && name[0] == '/' ? name : "/" + name;
}

std::string choose_topic(
  const std::string & path, const std::vector<std::string> & scan_topics,
  const std::vector<std::string> & all_topics, const TopicChoice & choice)
{
  auto listed = [&]() {
      std::string names;
      for (const auto & name : scan_topics) {
        names += (names.empty() ? "" : ", ") + name;
      }
      return names.empty() ? std::string("none") : names;
    };
  if (!choice.requested.empty()) {
    const std::string wanted = with_leading_slash(choice.requested);
    if (std::find(all_topics.begin(), all_topics.end(), wanted) == all_topics.end()) {
      throw RecordingError(path + ": no topic '" + wanted + "' (LaserScan topics: " + listed() + ")");
    }
    return wanted;
  }
  if (!choice.node_scan_topic.empty()) {
    const std::string node_topic = with_leading_slash(choice.node_scan_topic);
    if (std::find(scan_topics.begin(), scan_topics.end(), node_topic) != scan_topics.end()) {
      return node_topic;
    }
  }
  if (scan_topics.size() == 1) {
    return scan_topics.front();
  }
  throw RecordingError(
          path + ": " + (scan_topics.empty() ? "no LaserScan topic" : "several LaserScan topics") +
          " (" + listed() + "); choose one with --topic");
}

// Shared by both bag formats: finds the scan topic, decodes its messages and
// the static transforms.
void collect_messages(
  Recording & recording, const std::vector<RawMessage> & messages, const TopicChoice & choice,
  const char * scan_type, const char * tf_type,
  const std::function<sensor_msgs::msg::LaserScan(const std::vector<std::uint8_t> &)> & decode_scan,
  const std::function<tf2_msgs::msg::TFMessage(const std::vector<std::uint8_t> &)> & decode_tf)
{
  std::vector<std::string> all_topics;
  for (const auto & message : messages) {
    if (std::find(all_topics.begin(), all_topics.end(), *message.topic) == all_topics.end()) {
      all_topics.push_back(*message.topic);
      if (*message.type == scan_type) {
        recording.scan_topics.push_back(*message.topic);
      }
    }
  }
  recording.topic = choose_topic(recording.path, recording.scan_topics, all_topics, choice);
  for (const auto & message : messages) {
    if (*message.topic == recording.topic) {
      const std::string where = recording.path + ": scan " + std::to_string(recording.scans.size()) +
        " on " + recording.topic;
      if (*message.type != scan_type) {
        throw RecordingError(where + ": message of type " + *message.type + ", not " + scan_type);
      }
      try {
        recording.scans.push_back(decode_scan(*message.data));
      } catch (const RecordingError & error) {
        throw RecordingError(where + ": " + error.what());
      }
    } else if (*message.topic == kStaticTopic && *message.type == tf_type) {
      try {
        for (const auto & transform : decode_tf(*message.data).transforms) {
          recording.static_transforms.push_back(transform);
        }
      } catch (const RecordingError & error) {
        throw RecordingError(recording.path + ": " + kStaticTopic + ": " + error.what());
      }
    }
  }
}

void load_rosbag2(Recording & recording, const TopicChoice & choice)
{
  const auto messages = read_rosbag2(recording.path);
  std::vector<RawMessage> raw;
  raw.reserve(messages.size());
  for (const auto & message : messages) {
    raw.push_back({&message.topic, &message.type, &message.data});
  }
  collect_messages(
    recording, raw, choice, kRos2ScanType, kRos2TfType, decode_laser_scan_cdr, decode_tf_message_cdr);
}

void load_ros1_bag(Recording & recording, const TopicChoice & choice)
{
  const auto messages = read_ros1_bag(recording.path);
  std::vector<RawMessage> raw;
  raw.reserve(messages.size());
  for (const auto & message : messages) {
    raw.push_back({&message.topic, &message.type, &message.data});
  }
  collect_messages(
    recording, raw, choice, kRos1ScanType, kRos1TfType, decode_ros1_laser_scan, decode_ros1_tf_message);
}

// Intensities of another length than the ranges are legal in a LaserScan
// and both programs handle them (a reading without an intensity fails the
// band, surplus intensities are ignored), so such scans are replayed as
// recorded; one line says how many there are and names the first.
std::optional<std::string> intensity_length_note(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const std::string & where)
{
  std::size_t count = 0;
  std::string first;
  for (std::size_t i = 0; i < scans.size(); ++i) {
    const auto & scan = scans[i];
    if (scan.intensities.empty() || scan.intensities.size() == scan.ranges.size()) {
      continue;
    }
    if (count++ == 0) {
      first = "scan " + std::to_string(i) + " (stamp " + std::to_string(scan.header.stamp.sec) + "." +
        std::to_string(scan.header.stamp.nanosec) + ") has " + std::to_string(scan.ranges.size()) +
        " ranges but " + std::to_string(scan.intensities.size()) + " intensities";
    }
  }
  if (count == 0) {
    return std::nullopt;
  }
  return where + ": " + std::to_string(count) + (count == 1 ? " scan has" : " scans have") +
         " intensities of another length than its ranges (first: " + first +
         "); replayed as recorded: readings without an intensity fail the intensity band, "
         "surplus intensities are ignored";
}

}  // namespace

RecordingFormat detect_format(const std::string & path)
{
  if (!std::filesystem::exists(path)) {
    throw RecordingError(path + ": no such file or folder");
  }
  if (is_rosbag2(path)) {
    return RecordingFormat::kRosbag2;
  }
  if (std::filesystem::is_directory(path)) {
    throw RecordingError(path + ": folder without metadata.yaml or .db3 files");
  }
  return is_ros1_bag(path) ? RecordingFormat::kRos1Bag : RecordingFormat::kEchoYaml;
}

Recording load_recording(const std::string & path, const TopicChoice & choice)
{
  Recording recording;
  recording.path = path;
  recording.format = detect_format(path);
  switch (recording.format) {
    case RecordingFormat::kRosbag2: load_rosbag2(recording, choice); break;
    case RecordingFormat::kRos1Bag: load_ros1_bag(recording, choice); break;
    case RecordingFormat::kEchoYaml: recording.scans = read_scan_yaml_file(path); break;
  }
  const std::string where = recording.topic.empty() ? path : path + " " + recording.topic;
  if (auto note = intensity_length_note(recording.scans, where)) {
    recording.notes.push_back(*note);
  }
  return recording;
}

}  // namespace align_tools
