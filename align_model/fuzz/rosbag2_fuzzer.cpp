// Fuzzes the rosbag2 reading path. Two kinds of input:
// - one that starts with the SQLite header is written out as a .db3 file
//   and loaded as it is (a damaged or foreign database);
// - anything else describes a bag: its messages (topic, timestamp, CDR
//   bytes) are stored in a well-formed bag folder with the tool's own
//   writer, optionally with a metadata.yaml taken from the input, and the
//   folder is loaded as the replay loads it. This puts the fuzzer's bytes
//   into the CDR decoders, the topic choice and the metadata parser instead
//   of into SQLite's page format.
// Every CDR blob is also decoded directly as a LaserScan and a TFMessage.
// Anything but a RecordingError is a finding.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "align_tools/cdr.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/recording_error.hpp"
#include "align_tools/rosbag2_sqlite.hpp"
#include "fuzz_bytes.hpp"
#include "temp_file.hpp"

namespace
{

const char kSqliteHeader[] = "SQLite format 3";

struct TopicKind
{
  const char * name;
  const char * type;
};

// Scan topics, the static transforms, a scan topic of the wrong type and
// an unrelated topic.
const TopicKind kTopics[] = {
  {"/back_scan", "sensor_msgs/msg/LaserScan"},
  {"/tf_static", "tf2_msgs/msg/TFMessage"},
  {"/scan", "sensor_msgs/msg/LaserScan"},
  {"/back_scan", "tf2_msgs/msg/TFMessage"},
  {"/tf_static", "sensor_msgs/msg/LaserScan"},
  {"/rosout", "rcl_interfaces/msg/Log"},
};
constexpr std::size_t kTopicCount = sizeof(kTopics) / sizeof(kTopics[0]);

const char * const kRequested[] = {"", "", "back_scan", "/scan", "/missing", "/tf_static"};
const char * const kNodeTopic[] = {"", "back_scan", "scan", "other"};

void decode_directly(const std::vector<std::uint8_t> & blob)
{
  try {
    align_tools::decode_laser_scan_cdr(blob);
  } catch (const align_tools::RecordingError &) {
  }
  try {
    align_tools::decode_tf_message_cdr(blob);
  } catch (const align_tools::RecordingError &) {
  }
}

void load(const std::string & path, const align_tools::TopicChoice & choice)
{
  try {
    align_tools::load_recording(path, choice);
  } catch (const align_tools::RecordingError &) {
  }
}

void fuzz_database_file(const std::uint8_t * data, std::size_t size)
{
  load(align_fuzz::write_scratch_file("raw.db3", data, size), {});
}

void fuzz_bag_folder(const std::uint8_t * data, std::size_t size)
{
  align_fuzz::Bytes in(data, size);
  const std::uint8_t flags = in.u8();
  align_tools::TopicChoice choice;
  choice.requested = kRequested[(flags & 7) % 6];
  choice.node_scan_topic = kNodeTopic[(flags >> 3) & 3];

  // Every topic is listed; bags may list topics without messages.
  std::vector<align_tools::Rosbag2Topic> topics;
  std::vector<std::string> listed;
  for (const auto & kind : kTopics) {
    if (std::find(listed.begin(), listed.end(), kind.name) == listed.end()) {
      listed.push_back(kind.name);
      align_tools::Rosbag2Topic topic;
      topic.name = kind.name;
      topic.type = kind.type;
      topic.offered_qos_profiles = align_tools::default_qos_profiles(topic.name == "/tf_static");
      topics.push_back(topic);
    }
  }
  // A topic name appears once per bag, with the type of its first kind.
  std::vector<align_tools::Rosbag2Message> messages;
  const std::size_t count = in.u8() % 8;
  for (std::size_t i = 0; i < count; ++i) {
    const TopicKind & kind = kTopics[in.u8() % kTopicCount];
    align_tools::Rosbag2Message message;
    message.topic = kind.name;
    message.timestamp = static_cast<std::int64_t>(in.u64());
    const std::size_t length = in.u16() % 8192;
    for (std::size_t k = 0; k < length && in.remaining() > 0; ++k) {
      message.data.push_back(in.u8());
    }
    decode_directly(message.data);
    messages.push_back(std::move(message));
  }

  const std::string folder = align_fuzz::scratch_folder() + "/bag";
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  align_tools::write_rosbag2(folder, topics, messages);
  if (flags & 0x20) {
    // The rest of the input replaces the metadata.
    std::string metadata;
    while (in.remaining() > 0) {
      metadata.push_back(static_cast<char>(in.u8()));
    }
    std::ofstream(folder + "/metadata.yaml", std::ios::trunc) << metadata;
  }
  load(folder, choice);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  if (size >= sizeof(kSqliteHeader) - 1 && std::memcmp(data, kSqliteHeader, sizeof(kSqliteHeader) - 1) == 0) {
    fuzz_database_file(data, size);
  } else {
    fuzz_bag_folder(data, size);
  }
  return 0;
}
