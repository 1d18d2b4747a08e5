#ifndef ALIGN_TOOLS__RECORDING_HPP_
#define ALIGN_TOOLS__RECORDING_HPP_

#include <string>
#include <vector>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_tools
{

enum class RecordingFormat
{
  kRosbag2,
  kRos1Bag,
  kEchoYaml,
};

// The scans of one topic of a recording, in playing order, and the static
// transforms it carries.
struct Recording
{
  std::string path;
  RecordingFormat format = RecordingFormat::kEchoYaml;
  std::string topic;  // empty for a YAML stream
  std::vector<sensor_msgs::msg::LaserScan> scans;
  std::vector<geometry_msgs::msg::TransformStamped> static_transforms;
  // Every LaserScan topic the recording holds.
  std::vector<std::string> scan_topics;
  // Facts about the scans the user should know, one line each.
  std::vector<std::string> notes;
};

// Which scan topic to take from a recording with several.
struct TopicChoice
{
  std::string requested;  // --topic; must exist when given
  std::string node_scan_topic;  // used when it matches a recorded topic
};

RecordingFormat detect_format(const std::string & path);

// Loads a rosbag2 (folder or .db3), a ROS 1 bag or a YAML stream. Throws
// RecordingError with a message that names the file and the scan for an
// unreadable file, a message of another type on the scan topic, or an
// ambiguous choice of topic. Scans whose intensities are neither empty nor
// as many as their ranges are kept as they are, as both programs take them,
// with one note that names the first of them.
Recording load_recording(const std::string & path, const TopicChoice & choice = {});

}  // namespace align_tools

#endif  // ALIGN_TOOLS__RECORDING_HPP_
