// Inputs found by fuzzing the recording readers and writers (scripts/fuzz);
// each case failed before its fix.
#include <gtest/gtest.h>

#include <unistd.h>
#include <yaml-cpp/yaml.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "align_tools/recording.hpp"
#include "align_tools/recording_error.hpp"
#include "align_tools/ros1_bag.hpp"
#include "align_tools/rosbag2_sqlite.hpp"
#include "align_tools/scan_yaml.hpp"

namespace fs = std::filesystem;

namespace
{

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder
{
public:
  explicit ScratchFolder(const std::string & name)
  : path_(fs::temp_directory_path() / (name + "_" + std::to_string(::getpid())))
  {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchFolder() {fs::remove_all(path_);}
  std::string file(const std::string & name) const {return (path_ / name).string();}

private:
  fs::path path_;
};

}  // namespace

// A message without bytes used to make the writer fail with "NOT NULL
// constraint failed: messages.data"; it is stored as an empty blob, and the
// reader then refuses it as a scan with a clear error.
TEST(Rosbag2Robustness, EmptyMessageIsStoredAndReadBackAsEmpty)
{
  ScratchFolder folder("align_empty_message");
  const std::string bag = folder.file("bag");
  align_tools::write_rosbag2(
    bag, {{"/back_scan", "sensor_msgs/msg/LaserScan", "cdr", align_tools::default_qos_profiles(false)}},
    {{"/back_scan", "sensor_msgs/msg/LaserScan", 5, {}}});
  const auto messages = align_tools::read_rosbag2(bag);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].topic, "/back_scan");
  EXPECT_EQ(messages[0].timestamp, 5);
  EXPECT_TRUE(messages[0].data.empty());
  try {
    align_tools::load_recording(bag);
    ADD_FAILURE() << "an empty scan message was accepted";
  } catch (const align_tools::RecordingError & error) {
    EXPECT_NE(std::string(error.what()).find("scan 0"), std::string::npos) << error.what();
  }
}

// Stamps from before and after the epoch whose distance exceeds the signed
// 64-bit range overflowed the duration in metadata.yaml (undefined
// behaviour; in practice a negative duration).
TEST(Rosbag2Robustness, MetadataDurationSpansTheWholeStampRange)
{
  ScratchFolder folder("align_wide_stamps");
  const std::string bag = folder.file("wide");
  const std::int64_t earliest = std::numeric_limits<std::int64_t>::min();
  const std::int64_t latest = std::numeric_limits<std::int64_t>::max();
  align_tools::write_rosbag2(
    bag, {{"/back_scan", "sensor_msgs/msg/LaserScan", "cdr", ""}},
    {{"/back_scan", "sensor_msgs/msg/LaserScan", latest, {0, 1, 0, 0}},
      {"/back_scan", "sensor_msgs/msg/LaserScan", earliest, {0, 1, 0, 0}}});
  const YAML::Node info = YAML::LoadFile(bag + "/metadata.yaml")["rosbag2_bagfile_information"];
  EXPECT_EQ(info["duration"]["nanoseconds"].as<std::uint64_t>(), std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(info["starting_time"]["nanoseconds_since_epoch"].as<std::int64_t>(), earliest);
  EXPECT_EQ(info["files"][0]["duration"]["nanoseconds"].as<std::uint64_t>(), std::numeric_limits<std::uint64_t>::max());
  const auto messages = align_tools::read_rosbag2(bag);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].timestamp, earliest);
}

// A stray ',' where a block document starts made the YAML library report
// empty documents forever: the reader never returned and filled the memory.
// It is refused naming the spot. The read runs in a child process that an
// alarm ends, so that a regression fails here instead of hanging the suite.
TEST(EchoYamlRobustness, StrayCommaIsRefusedInsteadOfReadForever)
{
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  for (const char * text : {",", "[],", "- a\n,", "header: 1\n---\n,\n"}) {
    SCOPED_TRACE(text);
    EXPECT_EXIT(
      {
        alarm(20);
        std::istringstream in(text);
        try {
          align_tools::read_scan_yaml(in, "stray.yaml");
          std::_Exit(2);
        } catch (const align_tools::RecordingError & error) {
          const std::string what = error.what();
          std::_Exit(what.find("stray.yaml: not readable as YAML") == 0 ? 0 : 3);
        }
      },
      ::testing::ExitedWithCode(0), "");
  }
}

namespace
{

std::string u32_bytes(std::uint32_t value)
{
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<char>(value >> (8 * i));
  }
  return bytes;
}

std::string length_prefixed(const std::string & field)
{
  return u32_bytes(static_cast<std::uint32_t>(field.size())) + field;
}

// One ROS 1 bag record: header fields (each length-prefixed), then data.
std::string ros1_record(const std::vector<std::string> & fields, const std::string & data)
{
  std::string header;
  for (const auto & field : fields) {
    header += length_prefixed(field);
  }
  return u32_bytes(static_cast<std::uint32_t>(header.size())) + header +
         u32_bytes(static_cast<std::uint32_t>(data.size())) + data;
}

std::string ros1_chunk(const std::string & records)
{
  return ros1_record({std::string("op=\x05", 4), "compression=none"}, records);
}

}  // namespace

// Chunks nested in chunks were followed, copying the rest of the file once
// per level: a few MB of nested chunk headers exhausted the memory. No
// recorder nests chunks; such a file is refused, naming the record.
TEST(Ros1BagRobustness, ChunkInsideAChunkIsRefused)
{
  ScratchFolder folder("align_nested_chunks");
  const std::string connection = ros1_record(
    {std::string("op=\x07", 4), "conn=" + u32_bytes(0), "topic=/scan"},
    length_prefixed("topic=/scan") + length_prefixed("type=sensor_msgs/LaserScan"));
  const std::string path = folder.file("nested.bag");
  std::ofstream(path, std::ios::binary) << "#ROSBAG V2.0\n" << ros1_chunk(ros1_chunk(connection));
  try {
    align_tools::read_ros1_bag(path);
    ADD_FAILURE() << "a chunk inside a chunk was accepted";
  } catch (const align_tools::RecordingError & error) {
    const std::string what = error.what();
    EXPECT_NE(what.find("nested.bag"), std::string::npos) << what;
    EXPECT_NE(what.find("chunk inside a chunk"), std::string::npos) << what;
  }

  // The same connection in a single chunk reads (and holds no messages).
  const std::string plain = folder.file("plain.bag");
  std::ofstream(plain, std::ios::binary) << "#ROSBAG V2.0\n" << ros1_chunk(connection);
  EXPECT_TRUE(align_tools::read_ros1_bag(plain).empty());
}
