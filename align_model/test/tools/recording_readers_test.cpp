// Readers of the three recording formats, on files of our own (some made
// broken on purpose) and on the recorded real scans when they are present.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "align_tools/cdr.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/recording_error.hpp"
#include "align_tools/ros1_bag.hpp"
#include "align_tools/ros1_bag_writer.hpp"
#include "align_tools/rosbag2_sqlite.hpp"
#include "align_tools/scan_yaml.hpp"
#include "support/real_data.hpp"

namespace fs = std::filesystem;
using align_tools::RecordingError;

namespace
{

const std::string kRealData = align_test::real_data_dir();

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder
{
public:
  TempFolder()
  {
    path_ = fs::temp_directory_path() /
      ("align_tools_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter()++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {fs::remove_all(path_);}
  std::string file(const std::string & name) const {return (path_ / name).string();}

private:
  static int & counter()
  {
    static int n = 0;
    return n;
  }
  fs::path path_;
};

void write_text(const std::string & path, const std::string & text)
{
  std::ofstream(path) << text;
}

// Expects a RecordingError whose text contains every fragment.
template<typename F>
void expect_error_mentioning(F && action, std::initializer_list<const char *> fragments)
{
  try {
    action();
    ADD_FAILURE() << "no RecordingError thrown";
  } catch (const RecordingError & error) {
    const std::string text = error.what();
    for (const char * fragment : fragments) {
      EXPECT_NE(text.find(fragment), std::string::npos) << "'" << fragment << "' missing in: " << text;
    }
  }
}

sensor_msgs::msg::LaserScan sample_scan()
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.stamp.sec = 1700000000;
  scan.header.stamp.nanosec = 250000000;
  scan.header.frame_id = "laser";
  scan.angle_min = -2.3561945f;
  scan.angle_max = 2.3561945f;
  scan.angle_increment = 0.0043633231f;
  scan.time_increment = 1.7e-5f;
  scan.scan_time = 0.025f;
  scan.range_min = 0.02f;
  scan.range_max = 60.0f;
  scan.ranges = {1.0f, 0.1f + 0.2f, std::nanf(""), INFINITY, -INFINITY, 65.533f};
  scan.intensities = {252.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0e-7f};
  return scan;
}

// Same values, NaN counted equal to NaN.
void expect_same_scan(const sensor_msgs::msg::LaserScan & a, const sensor_msgs::msg::LaserScan & b)
{
  EXPECT_EQ(a.header, b.header);
  EXPECT_EQ(a.angle_min, b.angle_min);
  EXPECT_EQ(a.angle_increment, b.angle_increment);
  EXPECT_EQ(a.range_max, b.range_max);
  ASSERT_EQ(a.ranges.size(), b.ranges.size());
  for (std::size_t i = 0; i < a.ranges.size(); ++i) {
    EXPECT_TRUE(a.ranges[i] == b.ranges[i] || (std::isnan(a.ranges[i]) && std::isnan(b.ranges[i]))) << i;
  }
  EXPECT_EQ(a.intensities, b.intensities);
}

// A Hokuyo-like scan for our own ROS 1 bags; `index` sets the stamp and
// moves the readings, so scans differ.
sensor_msgs::msg::LaserScan laser_scan(const std::string & frame, int index, std::size_t count, bool intensities)
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.stamp.sec = index;
  scan.header.stamp.nanosec = 25000000;
  scan.header.frame_id = frame;
  scan.angle_min = -2.3561945f;
  scan.angle_max = 2.3561945f;
  scan.angle_increment = 4.712389f / static_cast<float>(count - 1);
  scan.range_min = 0.02f;
  scan.range_max = 60.0f;
  for (std::size_t i = 0; i < count; ++i) {
    scan.ranges.push_back(1.0f + 0.001f * static_cast<float>(i + static_cast<std::size_t>(index)));
    if (intensities) {
      scan.intensities.push_back(static_cast<float>((i * 37) % 7000));
    }
  }
  return scan;
}

// Two scanners on one vehicle, three scans each, and the back one's mount on
// /tf_static.
void write_two_laser_bag(const std::string & path)
{
  tf2_msgs::msg::TFMessage mount;
  mount.transforms.resize(1);
  mount.transforms[0].header.frame_id = "base_footprint";
  mount.transforms[0].child_frame_id = "back_laser";
  mount.transforms[0].transform.translation.x = 0.794;
  mount.transforms[0].transform.translation.y = -0.477;
  mount.transforms[0].transform.rotation.z = 1.0;
  mount.transforms[0].transform.rotation.w = 0.0;
  std::vector<align_tools::Ros1BagMessage> messages{{2, 99, align_tools::encode_ros1_tf_message(mount)}};
  for (int i = 0; i < 3; ++i) {
    const auto sec = 100u + static_cast<std::uint32_t>(i);
    messages.push_back({0, sec, align_tools::encode_ros1_laser_scan(laser_scan("back_laser", i, 1081, true))});
    messages.push_back({1, sec, align_tools::encode_ros1_laser_scan(laser_scan("/front_laser", i, 1081, true))});
  }
  align_tools::write_ros1_bag(
    path, {{0, "/scan_back", "sensor_msgs/LaserScan"}, {1, "/scan_front", "sensor_msgs/LaserScan"},
      {2, "/tf_static", "tf2_msgs/TFMessage"}}, messages);
}

}  // namespace

TEST(CdrCodec, LaserScanRoundTripsAndMatchesTheDocumentedLayout)
{
  const auto scan = sample_scan();
  const auto blob = align_tools::encode_laser_scan_cdr(scan);
  // Header 4 + stamp 8 + length 4 + "laser\0" 6 + 2 padding = angle_min at blob offset 24.
  ASSERT_GE(blob.size(), 28u);
  EXPECT_EQ(blob[1], 1);  // little-endian
  float angle_min;
  std::memcpy(&angle_min, blob.data() + 24, 4);
  EXPECT_EQ(angle_min, scan.angle_min);
  EXPECT_EQ(blob.size(), 4u + 20 + 36 + 4 * 6 + 4 * 6);
  expect_same_scan(align_tools::decode_laser_scan_cdr(blob), scan);
}

TEST(CdrCodec, TransformsRoundTripWithEightByteAlignment)
{
  tf2_msgs::msg::TFMessage message;
  message.transforms.resize(2);
  message.transforms[0].header.frame_id = "base_footprint";
  message.transforms[0].child_frame_id = "back_laser";  // odd lengths force padding
  message.transforms[0].transform.translation.x = -0.102;
  message.transforms[0].transform.rotation.z = 1.0;
  message.transforms[0].transform.rotation.w = 0.0;
  message.transforms[1].header.frame_id = "a";
  message.transforms[1].child_frame_id = "bc";
  message.transforms[1].transform.translation.y = 0.5;
  EXPECT_EQ(align_tools::decode_tf_message_cdr(align_tools::encode_tf_message_cdr(message)), message);
}

TEST(CdrCodec, CutOrForeignBytesAreRefusedNotOverread)
{
  auto blob = align_tools::encode_laser_scan_cdr(sample_scan());
  for (std::size_t size : {std::size_t(0), std::size_t(3), std::size_t(20), blob.size() - 1}) {
    std::vector<std::uint8_t> cut(blob.begin(), blob.begin() + static_cast<long>(size));
    EXPECT_THROW(align_tools::decode_laser_scan_cdr(cut), RecordingError) << size;
  }
  // A ranges count far beyond the buffer must not allocate or read.
  auto huge = blob;
  huge[4 + 20 + 28] = 0xff; huge[4 + 20 + 29] = 0xff; huge[4 + 20 + 30] = 0xff; huge[4 + 20 + 31] = 0x7f;
  EXPECT_THROW(align_tools::decode_laser_scan_cdr(huge), RecordingError);
  auto xcdr2 = blob;
  xcdr2[1] = 7;
  EXPECT_THROW(align_tools::decode_laser_scan_cdr(xcdr2), RecordingError);
}

TEST(EchoYaml, AcceptsRealEchoOutputWithSpecialValuesAndEmptyIntensities)
{
  std::istringstream echo(
    "header:\n  stamp:\n    sec: 12\n    nanosec: 500\n  frame_id: laser\n"
    "angle_min: -1.5707963705062866\nangle_max: 1.5707963705062866\nangle_increment: 0.7853981852531433\n"
    "time_increment: 0.0\nscan_time: 0.0\nrange_min: 0.019999999552965164\nrange_max: 5.599999904632568\n"
    "ranges:\n- 1.0\n- .nan\n- .inf\n- -.inf\n- 2\nintensities: []\n---\n"
    "header:\n  stamp:\n    sec: 13\n    nanosec: 0\n  frame_id: ''\n"
    "angle_min: 0.0\nangle_max: 0.0\nangle_increment: 0.1\ntime_increment: 0.0\nscan_time: 0.0\n"
    "range_min: 0.0\nrange_max: 1.0\nranges: [0.5, .NaN]\nintensities: [3.0, 4.0]\n---\n");
  const auto scans = align_tools::read_scan_yaml(echo, "echo");
  ASSERT_EQ(scans.size(), 2u);
  EXPECT_EQ(scans[0].header.stamp.sec, 12);
  EXPECT_EQ(scans[0].header.stamp.nanosec, 500u);
  EXPECT_EQ(scans[0].header.frame_id, "laser");
  EXPECT_EQ(scans[0].angle_min, -1.5707963705062866f);
  ASSERT_EQ(scans[0].ranges.size(), 5u);
  EXPECT_TRUE(std::isnan(scans[0].ranges[1]));
  EXPECT_EQ(scans[0].ranges[2], INFINITY);
  EXPECT_EQ(scans[0].ranges[3], -INFINITY);
  EXPECT_EQ(scans[0].ranges[4], 2.0f);
  EXPECT_TRUE(scans[0].intensities.empty());
  EXPECT_EQ(scans[1].header.frame_id, "");
  EXPECT_TRUE(std::isnan(scans[1].ranges[1]));
  EXPECT_EQ(scans[1].intensities, (std::vector<float>{3.0f, 4.0f}));
}

TEST(EchoYaml, WrittenScansReadBackBitForBit)
{
  std::stringstream stream;
  const auto scan = sample_scan();
  align_tools::write_scan_yaml(stream, scan);
  align_tools::write_scan_yaml(stream, scan);
  const auto scans = align_tools::read_scan_yaml(stream, "written");
  ASSERT_EQ(scans.size(), 2u);
  expect_same_scan(scans[1], scan);
}

TEST(EchoYaml, RefusesTruncatedArraysAndNamesTheScan)
{
  std::stringstream stream;
  align_tools::write_scan_yaml(stream, sample_scan());
  // What `ros2 topic echo` prints by default for long arrays.
  stream << "header:\n  stamp:\n    sec: 1\n    nanosec: 0\n  frame_id: laser\nangle_min: 0.0\nangle_max: 1.0\n"
    "angle_increment: 0.1\ntime_increment: 0.0\nscan_time: 0.0\nrange_min: 0.0\nrange_max: 1.0\n"
    "ranges:\n- 1.0\n- 2.0\n- '...'\nintensities: []\n---\n";
  expect_error_mentioning(
    [&]() {align_tools::read_scan_yaml(stream, "cut.yaml");},
    {"cut.yaml", "scan 1", "ranges", "truncated", "--full-length"});
}

TEST(EchoYaml, MalformedDocumentsGiveErrorsNamingScanAndField)
{
  const std::pair<std::string, std::vector<const char *>> cases[] = {
    {"header:\n  stamp:\n    sec: 1\n    nanosec: 0\n  frame_id: l\nangle_min: x\n", {"scan 0", "angle_min"}},
    {"header:\n  frame_id: l\n", {"scan 0", "header.stamp"}},
    {"data: 3\n", {"scan 0", "header"}},
    {"- 1\n- 2\n", {"scan 0", "mapping"}},
    {"header: [unclosed\n", {"not readable as YAML"}},
  };
  for (const auto & [text, fragments] : cases) {
    std::istringstream in(text);
    try {
      align_tools::read_scan_yaml(in, "bad.yaml");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const RecordingError & error) {
      for (const char * fragment : fragments) {
        EXPECT_NE(std::string(error.what()).find(fragment), std::string::npos) << error.what();
      }
    }
  }
}

TEST(Rosbag2, WrittenBagReadsBackInOrderAsFolderAndAsFile)
{
  TempFolder folder;
  const std::string bag = folder.file("run");
  std::vector<align_tools::Rosbag2Message> messages;
  for (int i = 0; i < 3; ++i) {
    auto scan = sample_scan();
    scan.header.stamp.sec = 100 + i;
    messages.push_back({"/back_scan", "sensor_msgs/msg/LaserScan", (100 + i) * 1000000000LL,
        align_tools::encode_laser_scan_cdr(scan)});
  }
  std::swap(messages[0], messages[2]);  // rosbag2 plays by timestamp, not by row
  align_tools::write_rosbag2(
    bag, {{"/back_scan", "sensor_msgs/msg/LaserScan", "cdr", align_tools::default_qos_profiles(false)}}, messages);
  EXPECT_TRUE(fs::exists(bag + "/metadata.yaml"));
  for (const std::string & path : {bag, bag + "/run_0.db3"}) {
    const auto recording = align_tools::load_recording(path);
    EXPECT_EQ(recording.format, align_tools::RecordingFormat::kRosbag2);
    EXPECT_EQ(recording.topic, "/back_scan");
    ASSERT_EQ(recording.scans.size(), 3u);
    EXPECT_EQ(recording.scans[0].header.stamp.sec, 100);
    EXPECT_EQ(recording.scans[2].header.stamp.sec, 102);
  }
  EXPECT_THROW(align_tools::write_rosbag2(bag, {}, {}), RecordingError);
}

TEST(Rosbag2, BrokenBagsGiveClearErrors)
{
  TempFolder folder;
  const std::string bag = folder.file("bad");
  std::vector<align_tools::Rosbag2Message> messages{
    {"/back_scan", "sensor_msgs/msg/LaserScan", 1, align_tools::encode_laser_scan_cdr(sample_scan())},
    {"/back_scan", "sensor_msgs/msg/LaserScan", 2, {0, 1, 0, 0, 1, 2}},
  };
  align_tools::write_rosbag2(bag, {{"/back_scan", "sensor_msgs/msg/LaserScan", "cdr", ""}}, messages);
  expect_error_mentioning([&]() {align_tools::load_recording(bag);}, {"bad", "scan 1", "/back_scan"});

  // A file cut in half: sqlite refuses it, naming the file.
  const std::string db = bag + "/bad_0.db3";
  const auto size = fs::file_size(db);
  fs::resize_file(db, size / 2);
  expect_error_mentioning([&]() {align_tools::load_recording(db);}, {"bad_0.db3"});
}

TEST(Rosbag2, WrongMessageTypeOnTheChosenTopicIsNamed)
{
  TempFolder folder;
  const std::string bag = folder.file("typed");
  tf2_msgs::msg::TFMessage tf;
  align_tools::write_rosbag2(
    bag, {{"/back_scan", "tf2_msgs/msg/TFMessage", "cdr", ""}},
    {{"/back_scan", "tf2_msgs/msg/TFMessage", 1, align_tools::encode_tf_message_cdr(tf)}});
  align_tools::TopicChoice choice;
  choice.requested = "back_scan";
  expect_error_mentioning(
    [&]() {align_tools::load_recording(bag, choice);}, {"scan 0", "tf2_msgs/msg/TFMessage", "not sensor_msgs"});
}

TEST(Recording, MismatchedArrayLengthsNameTheScan)
{
  TempFolder folder;
  std::ostringstream text;
  align_tools::write_scan_yaml(text, sample_scan());
  auto bad = sample_scan();
  bad.intensities.pop_back();
  align_tools::write_scan_yaml(text, bad);
  write_text(folder.file("scans.yaml"), text.str());
  // Both programs take such scans, so they are read, with a note naming them.
  const auto recording = align_tools::load_recording(folder.file("scans.yaml"));
  ASSERT_EQ(recording.scans.size(), 2u);
  ASSERT_EQ(recording.notes.size(), 1u);
  for (const char * fragment : {"scans.yaml", "1 scan has", "scan 1", "6 ranges but 5 intensities"}) {
    EXPECT_NE(recording.notes[0].find(fragment), std::string::npos) << fragment << " missing in: " << recording.notes[0];
  }
  expect_error_mentioning([&]() {align_tools::load_recording(folder.file("missing.bag"));}, {"no such file"});
}

TEST(Recording, IntensitiesOfAnotherLengthAreKeptInEveryFormatWithAOneLineNote)
{
  // Scan 0 as recorded, scan 1 short of intensities, scan 2 with a surplus,
  // scan 3 without any (no note for that one: a common scanner output).
  std::vector<sensor_msgs::msg::LaserScan> scans(4, sample_scan());
  scans[1].intensities.resize(4);
  scans[2].intensities.resize(8, 7.0f);
  scans[3].intensities.clear();
  for (std::size_t i = 0; i < scans.size(); ++i) {
    scans[i].header.stamp.sec = 200 + static_cast<std::int32_t>(i);
  }
  TempFolder folder;
  const std::string yaml = folder.file("scans.yaml");
  {
    std::ofstream out(yaml);
    for (const auto & scan : scans) {
      align_tools::write_scan_yaml(out, scan);
    }
  }
  const std::string rosbag2 = folder.file("scans_ros2");
  const std::string ros1 = folder.file("scans.bag");
  std::vector<align_tools::Rosbag2Message> ros2_messages;
  std::vector<align_tools::Ros1BagMessage> ros1_messages;
  for (const auto & scan : scans) {
    const auto sec = static_cast<std::uint32_t>(scan.header.stamp.sec);
    ros2_messages.push_back(
      {"/back_scan", "sensor_msgs/msg/LaserScan", sec * 1000000000LL, align_tools::encode_laser_scan_cdr(scan)});
    ros1_messages.push_back({0, sec, align_tools::encode_ros1_laser_scan(scan)});
  }
  align_tools::write_rosbag2(rosbag2, {{"/back_scan", "sensor_msgs/msg/LaserScan", "cdr", ""}}, ros2_messages);
  align_tools::write_ros1_bag(ros1, {{0, "/back_scan", "sensor_msgs/LaserScan"}}, ros1_messages);

  for (const std::string & path : {yaml, rosbag2, ros1}) {
    SCOPED_TRACE(path);
    const auto recording = align_tools::load_recording(path);
    ASSERT_EQ(recording.scans.size(), scans.size());
    for (std::size_t i = 0; i < scans.size(); ++i) {
      expect_same_scan(recording.scans[i], scans[i]);
    }
    ASSERT_EQ(recording.notes.size(), 1u);
    const std::string & note = recording.notes[0];
    EXPECT_EQ(note.find('\n'), std::string::npos) << note;
    for (const char * fragment : {"2 scans have", "scan 1 (stamp 201.250000000)", "6 ranges but 4 intensities",
        "fail the intensity band", "surplus intensities are ignored"})
    {
      EXPECT_NE(note.find(fragment), std::string::npos) << fragment << " missing in: " << note;
    }
  }
  // Matching lengths, or none at all, need no note.
  scans.erase(scans.begin() + 1, scans.begin() + 3);
  {
    std::ofstream out(yaml);
    for (const auto & scan : scans) {
      align_tools::write_scan_yaml(out, scan);
    }
  }
  EXPECT_TRUE(align_tools::load_recording(yaml).notes.empty());
}

TEST(Ros1Bag, ReadsTheRecordedHokuyoBagWithItsStaticTransforms)
{
  ALIGN_TEST_NEEDS_REAL_DATA();
  align_tools::TopicChoice choice;
  choice.requested = "/scan_back";
  const auto recording = align_tools::load_recording(kRealData + "/reflcal_obs2.bag", choice);
  EXPECT_EQ(recording.format, align_tools::RecordingFormat::kRos1Bag);
  EXPECT_EQ(recording.scans.size(), 194u);
  EXPECT_EQ(recording.scans.front().ranges.size(), 1081u);
  EXPECT_EQ(recording.scans.front().intensities.size(), 1081u);
  EXPECT_EQ(recording.scans.front().header.frame_id, "back_nav_lidar_link");
  bool mount_found = false;
  for (const auto & t : recording.static_transforms) {
    if (t.header.frame_id == "base_footprint" && t.child_frame_id == "back_nav_lidar_link") {
      mount_found = true;
      EXPECT_NEAR(t.transform.translation.x, 0.794, 1e-3);
      EXPECT_NEAR(t.transform.translation.y, -0.477, 1e-3);
    }
  }
  EXPECT_TRUE(mount_found);
}

TEST(Ros1Bag, WrittenBagReadsBackWithItsStaticTransforms)
{
  TempFolder folder;
  const std::string bag = folder.file("two_lasers.bag");
  write_two_laser_bag(bag);
  align_tools::TopicChoice choice;
  choice.requested = "/scan_back";
  const auto recording = align_tools::load_recording(bag, choice);
  EXPECT_EQ(recording.format, align_tools::RecordingFormat::kRos1Bag);
  EXPECT_EQ(recording.scan_topics, (std::vector<std::string>{"/scan_back", "/scan_front"}));
  ASSERT_EQ(recording.scans.size(), 3u);
  expect_same_scan(recording.scans[2], laser_scan("back_laser", 2, 1081, true));
  ASSERT_EQ(recording.static_transforms.size(), 1u);
  const auto & mount = recording.static_transforms.front();
  EXPECT_EQ(mount.header.frame_id, "base_footprint");
  EXPECT_EQ(mount.child_frame_id, "back_laser");
  EXPECT_EQ(mount.transform.translation.x, 0.794);
  EXPECT_EQ(mount.transform.translation.y, -0.477);
  EXPECT_EQ(mount.transform.rotation.z, 1.0);
}

TEST(Ros1Bag, TwoScanTopicsNeedAChoice)
{
  TempFolder folder;
  const std::string bag = folder.file("two_lasers.bag");
  write_two_laser_bag(bag);
  expect_error_mentioning(
    [&]() {align_tools::load_recording(bag);},
    {"several LaserScan topics", "/scan_back", "/scan_front", "--topic"});
  align_tools::TopicChoice by_node;
  by_node.node_scan_topic = "scan_front";
  const auto recording = align_tools::load_recording(bag, by_node);
  EXPECT_EQ(recording.topic, "/scan_front");
  ASSERT_EQ(recording.scans.size(), 3u);
  EXPECT_EQ(recording.scans.front().header.frame_id, "front_laser");
}

TEST(Ros1Bag, OldBagWithOversizedIndexRecordsReadsCompletely)
{
  // Like an old recorder's bag: its index records claim 20 bytes per entry
  // where there are 12; stepping by that length would land inside the next
  // chunk.
  TempFolder folder;
  const std::string bag = folder.file("old.bag");
  std::vector<align_tools::Ros1BagMessage> messages;
  for (int i = 0; i < 30; ++i) {
    messages.push_back({0, 100u + static_cast<std::uint32_t>(i),
        align_tools::encode_ros1_laser_scan(laser_scan("/laser", i, 681, false))});
  }
  align_tools::Ros1BagLayout layout;
  layout.messages_per_chunk = 4;
  layout.claimed_index_entry_size = 20;
  align_tools::write_ros1_bag(bag, {{0, "/scan", "sensor_msgs/LaserScan"}}, messages, layout);

  const auto recording = align_tools::load_recording(bag);
  EXPECT_EQ(recording.topic, "/scan");
  ASSERT_EQ(recording.scans.size(), 30u);
  EXPECT_EQ(recording.scans.back().ranges.size(), 681u);
  EXPECT_TRUE(recording.scans.back().intensities.empty());
  EXPECT_EQ(recording.scans.back().header.stamp.sec, 29);
  EXPECT_EQ(recording.scans.front().header.frame_id, "laser");  // "/laser" in the bag
}

TEST(Ros1Bag, TruncatedBagNamesWhereItStopped)
{
  TempFolder folder;
  const std::string cut = folder.file("cut.bag");
  std::vector<align_tools::Ros1BagMessage> messages;
  for (int i = 0; i < 40; ++i) {
    messages.push_back({0, 100u + static_cast<std::uint32_t>(i),
        align_tools::encode_ros1_laser_scan(laser_scan("laser", i, 1081, true))});
  }
  align_tools::Ros1BagLayout layout;
  layout.messages_per_chunk = 10;
  align_tools::write_ros1_bag(cut, {{0, "/scan", "sensor_msgs/LaserScan"}}, messages, layout);
  ASSERT_EQ(align_tools::load_recording(cut).scans.size(), 40u);
  // Cut inside the third chunk, as a recorder that was killed leaves it.
  fs::resize_file(cut, fs::file_size(cut) * 3 / 5);
  expect_error_mentioning([&]() {align_tools::load_recording(cut);}, {"cut.bag", "record at byte", "messages"});
  write_text(folder.file("magic.bag"), "#ROSBAG V2.0\n");
  expect_error_mentioning([&]() {align_tools::load_recording(folder.file("magic.bag"));}, {"no LaserScan topic"});
}
