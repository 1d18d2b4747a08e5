// Fuzzes the ROS 1 bag reader: the input is the file after its magic line
// (which the fuzzer adds, so that every input reaches the record walker).
// The whole recording is loaded as the replay loads it, and every message
// is decoded as a LaserScan and as a TFMessage whatever its type. Anything
// but a RecordingError is a finding.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "align_tools/recording.hpp"
#include "align_tools/recording_error.hpp"
#include "align_tools/ros1_bag.hpp"
#include "temp_file.hpp"

namespace
{

const char kMagic[] = "#ROSBAG V2.0\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  std::vector<std::uint8_t> file(kMagic, kMagic + std::strlen(kMagic));
  file.insert(file.end(), data, data + size);
  const std::string path = align_fuzz::write_scratch_file("input.bag", file.data(), file.size());

  std::vector<align_tools::Ros1Message> messages;
  try {
    messages = align_tools::read_ros1_bag(path);
  } catch (const align_tools::RecordingError &) {
    return 0;
  }
  for (const auto & message : messages) {
    try {
      align_tools::decode_ros1_laser_scan(message.data);
    } catch (const align_tools::RecordingError &) {
    }
    try {
      align_tools::decode_ros1_tf_message(message.data);
    } catch (const align_tools::RecordingError &) {
    }
  }
  try {
    align_tools::load_recording(path);
  } catch (const align_tools::RecordingError &) {
  }
  return 0;
}
