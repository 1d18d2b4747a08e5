#include "align_tools/simulated_recording.hpp"

#include "align_tools/cdr.hpp"
#include "align_tools/mcap.hpp"
#include "align_tools/mcap_compression.hpp"
#include "align_tools/mount_transform.hpp"
#include "align_tools/rosbag2_sqlite.hpp"

namespace align_tools
{

SimulatedRecording simulate_approach(const SimulationConfig & config, const ApproachPlan & plan)
{
  SimulatedRecording recording;
  recording.truth.laser_frame = config.scanner.frame_id;
  recording.truth.mount = config.mount;
  ScanSimulator simulator(config);
  const auto poses = approach_trajectory(plan.from, plan.to, plan.scans);
  for (std::size_t i = 0; i < poses.size(); ++i) {
    const auto stamp = scan_stamp(plan.start_ns, plan.period_ns, i);
    recording.scans.push_back(simulator.render(poses[i], stamp));
    recording.truth.scans.push_back({stamp, poses[i], compose(config.mount, poses[i])});
  }
  return recording;
}

Recording as_recording(const SimulatedRecording & simulated)
{
  Recording recording;
  recording.path = "simulated";
  recording.scans = simulated.scans;
  return recording;
}

namespace
{

struct BagContents
{
  std::vector<Rosbag2Topic> topics;
  std::vector<Rosbag2Message> messages;
};

BagContents bag_contents(
  const std::string & topic, const SimulatedRecording & recording, bool with_mount_transform,
  const std::string & base_frame)
{
  BagContents bag;
  bag.topics.push_back({topic, "sensor_msgs/msg/LaserScan", "cdr", default_qos_profiles(false)});
  auto stamp_ns = [](const builtin_interfaces::msg::Time & t) {
      return static_cast<std::int64_t>(t.sec) * 1000000000 + t.nanosec;
    };
  if (with_mount_transform && !recording.scans.empty()) {
    tf2_msgs::msg::TFMessage tf;
    geometry_msgs::msg::TransformStamped mount =
      mount_transform(recording.truth.mount, base_frame, recording.truth.laser_frame);
    mount.header.stamp = recording.scans.front().header.stamp;
    tf.transforms.push_back(mount);
    bag.topics.push_back({"/tf_static", "tf2_msgs/msg/TFMessage", "cdr", default_qos_profiles(true)});
    bag.messages.push_back(
      {"/tf_static", "tf2_msgs/msg/TFMessage", stamp_ns(mount.header.stamp), encode_tf_message_cdr(tf)});
  }
  for (const auto & scan : recording.scans) {
    bag.messages.push_back(
      {topic, "sensor_msgs/msg/LaserScan", stamp_ns(scan.header.stamp), encode_laser_scan_cdr(scan)});
  }
  return bag;
}

}  // namespace

void write_simulated_bag(
  const std::string & folder, const std::string & topic, const SimulatedRecording & recording,
  bool with_mount_transform, const std::string & base_frame)
{
  const BagContents bag = bag_contents(topic, recording, with_mount_transform, base_frame);
  write_rosbag2(folder, bag.topics, bag.messages);
}

void write_simulated_mcap(
  const std::string & path, const std::string & topic, const SimulatedRecording & recording,
  bool with_mount_transform, const std::string & base_frame)
{
  const BagContents bag = bag_contents(topic, recording, with_mount_transform, base_frame);
  McapLayout layout;
  layout.compression = mcap_compression_available("zstd") ? "zstd" : "";
  write_mcap(path, bag.topics, bag.messages, layout);
}

}  // namespace align_tools
