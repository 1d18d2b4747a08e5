#include "align_tools/ground_truth.hpp"

#include <yaml-cpp/yaml.h>

#include "align_tools/json_writer.hpp"
#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

std::string pose_json(const Pose2D & pose, const char * angle_name)
{
  return "{\"x\": " + json_double(pose.x) + ", \"y\": " + json_double(pose.y) + ", \"" + angle_name +
         "\": " + json_double(pose.yaw) + "}";
}

Pose2D read_pose(const YAML::Node & node, const char * angle_name)
{
  return {node["x"].as<double>(), node["y"].as<double>(), node[angle_name].as<double>()};
}

}  // namespace

std::string ground_truth_json(const GroundTruth & truth)
{
  std::string text = "{\"laser_frame\": " + json_string(truth.laser_frame) + ",\n \"mount\": " +
    pose_json(truth.mount, "yaw") + ",\n \"scans\": [";
  for (std::size_t i = 0; i < truth.scans.size(); ++i) {
    const TruthEntry & entry = truth.scans[i];
    text += (i == 0 ? "\n  " : ",\n  ");
    text += "{\"index\": " + std::to_string(i) + ", \"stamp\": {\"sec\": " + std::to_string(entry.stamp.sec) +
      ", \"nanosec\": " + std::to_string(entry.stamp.nanosec) + "}, \"laser\": " +
      pose_json(entry.laser, "heading") + ", \"base\": " + pose_json(entry.base, "heading") + "}";
  }
  return text + "\n ]}\n";
}

GroundTruth read_ground_truth(const std::string & path)
{
  try {
    // JSON is a subset of YAML.
    const YAML::Node root = YAML::LoadFile(path);
    GroundTruth truth;
    truth.laser_frame = root["laser_frame"].as<std::string>();
    truth.mount = read_pose(root["mount"], "yaw");
    for (const auto & scan : root["scans"]) {
      TruthEntry entry;
      entry.stamp.sec = scan["stamp"]["sec"].as<std::int32_t>();
      entry.stamp.nanosec = scan["stamp"]["nanosec"].as<std::uint32_t>();
      entry.laser = read_pose(scan["laser"], "heading");
      entry.base = read_pose(scan["base"], "heading");
      truth.scans.push_back(entry);
    }
    return truth;
  } catch (const YAML::Exception & error) {
    throw RecordingError(path + ": not a ground truth file: " + error.what());
  }
}

}  // namespace align_tools
