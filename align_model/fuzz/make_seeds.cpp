// Writes seed inputs for the fuzz targets into OUT/<target>/:
//   fuzz_make_seeds OUT [REAL_DATA_DIR [BUNDLED_BAG_FOLDER]]
// Without REAL_DATA_DIR only the synthetic seeds are written (these are
// the ones kept in the repository, each a few kB at most). With it, scans
// cut from the recorded real bags are added, and with the bundled bag its
// database file as a raw SQLite seed; scripts/fuzz generates those at run
// time instead of keeping them in the repository.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "align_tools/cdr.hpp"
#include "align_tools/mcap.hpp"
#include "align_tools/recording_error.hpp"
#include "align_tools/ros1_bag.hpp"
#include "align_tools/ros1_bag_writer.hpp"
#include "align_tools/rosbag2_sqlite.hpp"
#include "align_tools/scan_simulator.hpp"
#include "align_tools/scan_yaml.hpp"
#include "scan_codec.hpp"

namespace fs = std::filesystem;

namespace
{

using align_fuzz::ByteSink;
using LaserScan = sensor_msgs::msg::LaserScan;

void save(const fs::path & folder, const std::string & name, const std::vector<std::uint8_t> & bytes)
{
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void save_text(const fs::path & folder, const std::string & name, const std::string & text)
{
  save(folder, name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The simulated target straight behind a rear laser, 0.7 m away, opening
// towards it: what both programs are built to find.
LaserScan target_scan(double distance, double heading_offset, int count, std::uint64_t seed)
{
  align_tools::SimulationConfig config;
  config.scanner.frame_id = "laser";
  config.scanner.count = count;
  config.scanner.angle_min = static_cast<float>(-0.75 * M_PI);
  config.scanner.angle_increment = static_cast<float>(1.5 * M_PI / (count - 1));
  config.seed = seed;
  align_tools::ScanSimulator simulator(config);
  builtin_interfaces::msg::Time stamp;
  stamp.sec = 100;
  return simulator.render({distance, 0.02, M_PI + heading_offset}, stamp);
}

// Node input header: profile, overrides (index, value pairs), scan count.
struct NodeSeed
{
  std::uint8_t profile = 0;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> overrides;
  std::vector<std::pair<std::uint8_t, LaserScan>> scans;  // flags, scan
};

std::vector<std::uint8_t> encode(const NodeSeed & seed)
{
  ByteSink out;
  out.u8(seed.profile);
  out.u8(static_cast<std::uint8_t>(seed.overrides.size()));
  for (const auto & [index, value] : seed.overrides) {
    out.u8(index);
    out.u8(value);
  }
  out.u8(static_cast<std::uint8_t>(seed.scans.size() - 1));
  for (const auto & [flags, scan] : seed.scans) {
    align_fuzz::write_scan(out, flags, scan);
  }
  return out.bytes();
}

LaserScan cut(const LaserScan & scan, std::size_t first, std::size_t count)
{
  LaserScan out = scan;
  first = std::min(first, scan.ranges.size());
  count = std::min(count, scan.ranges.size() - first);
  out.ranges.assign(scan.ranges.begin() + first, scan.ranges.begin() + first + count);
  if (!scan.intensities.empty()) {
    out.intensities.assign(scan.intensities.begin() + first, scan.intensities.begin() + first + count);
  }
  out.angle_min = scan.angle_min + static_cast<float>(first) * scan.angle_increment;
  out.angle_max = out.angle_min + static_cast<float>(count == 0 ? 0 : count - 1) * scan.angle_increment;
  return out;
}

void node_seeds(const fs::path & out)
{
  // Profiles 1 (feature: docking approach) and 2 (deployed) detect this.
  const LaserScan target = target_scan(0.7, 0.0, 541, 1);
  const LaserScan nearer = target_scan(0.6, 0.05, 541, 2);
  LaserScan short_intensities = target;
  short_intensities.intensities.resize(300);
  LaserScan empty;
  empty.angle_min = -1.0f;
  empty.angle_max = 1.0f;
  empty.angle_increment = 0.01f;

  for (const char * target_name : {"feature_node", "align_node"}) {
    const fs::path folder = out / target_name;
    save(folder, "target", encode({1, {}, {{0, target}}}));
    save(folder, "target_deployed", encode({2, {}, {{0, target}}}));
    save(folder, "approach_three_scans", encode({1, {}, {{0, target}, {0, nearer}, {0, target}}}));
    save(folder, "target_everything_passes", encode({4, {}, {{0, target}}}));
    save(folder, "disabled_then_enabled", encode({1, {}, {{1, target}, {2, nearer}}}));
    save(folder, "short_intensities", encode({1, {}, {{0, short_intensities}}}));
    save(folder, "no_readings", encode({0, {}, {{0, empty}}}));
    // min_line_len (12 for the feature program, 18 for the line program)
    // set to 0.05: shorter pieces pass.
    const std::uint8_t min_line_len = std::string(target_name) == "feature_node" ? 12 : 18;
    save(folder, "override_min_line_len", encode({1, {{min_line_len, 5}}, {{0, target}}}));
  }
  // Feature program: one-scan history and the laser frame as publish frame.
  save(out / "feature_node", "times_one_laser_frame", encode({5, {}, {{0, target}, {0, nearer}}}));
  save(out / "feature_node", "unknown_frame", encode({1, {}, {{12, target}}}));
}

// The `index`th LaserScan of a recorded ROS 1 bag.
LaserScan recorded_scan(const fs::path & bag, std::size_t index)
{
  for (const auto & message : align_tools::read_ros1_bag(bag.string())) {
    if (message.type == "sensor_msgs/LaserScan" && index-- == 0) {
      return align_tools::decode_ros1_laser_scan(message.data);
    }
  }
  throw align_tools::RecordingError(bag.string() + ": too few scans");
}

void real_node_seeds(const fs::path & out, const fs::path & real)
{
  const LaserScan reflector_scan = recorded_scan(real / "reflcal_ref_1111.bag", 0);
  const LaserScan demo_scan = recorded_scan(real / "scan_tools_demo.bag", 100);
  LaserScan demo_bright = demo_scan;
  demo_bright.intensities.assign(demo_bright.ranges.size(), 252.0f);
  for (const char * target_name : {"feature_node", "align_node"}) {
    const fs::path folder = out / target_name;
    // Profile 3 takes the raw intensity scale of these scanners.
    save(folder, "real_reflector", encode({3, {}, {{0, reflector_scan}}}));
    save(folder, "real_rooms_no_intensities", encode({4, {}, {{0, demo_scan}}}));
    save(folder, "real_rooms_bright", encode({2, {}, {{0, demo_bright}}}));
  }
}

void scan_yaml_seeds(const fs::path & out, const fs::path * real)
{
  const fs::path folder = out / "scan_yaml";
  std::ostringstream two;
  const LaserScan target = cut(target_scan(0.7, 0.0, 541, 3), 240, 60);
  align_tools::write_scan_yaml(two, target);
  align_tools::write_scan_yaml(two, cut(target_scan(0.6, 0.1, 541, 4), 250, 40));
  save_text(folder, "two_scans.yaml", two.str());

  LaserScan special = cut(target, 0, 12);
  special.ranges[0] = NAN;
  special.ranges[1] = INFINITY;
  special.ranges[2] = -INFINITY;
  special.ranges[3] = 1e-45f;
  special.intensities.clear();
  std::ostringstream special_text;
  align_tools::write_scan_yaml(special_text, special);
  save_text(folder, "special_values.yaml", special_text.str());

  save_text(folder, "truncated_by_echo.yaml",
    "header:\n  stamp:\n    sec: 1\n    nanosec: 2\n  frame_id: laser\nangle_min: -1.0\nangle_max: 1.0\n"
    "angle_increment: 0.5\ntime_increment: 0.0\nscan_time: 0.1\nrange_min: 0.0\nrange_max: 10.0\n"
    "ranges:\n- 1.0\n- 2.0\n- '...'\nintensities: []\n---\n");
  save_text(folder, "flow_style.yaml",
    "header: {stamp: {sec: 5, nanosec: 0}, frame_id: ''}\nangle_min: .nan\nangle_max: -.inf\n"
    "angle_increment: 1e-3\ntime_increment: 0\nscan_time: 0\nrange_min: 0\nrange_max: .inf\n"
    "ranges: [1, 2, .NaN]\nintensities: [252, 253]\n");
  if (real != nullptr) {
    std::ostringstream text;
    align_tools::write_scan_yaml(text, cut(recorded_scan(*real / "reflcal_obs2.bag", 0), 400, 200));
    save_text(folder, "real_reflectors.yaml", text.str());
  }
}

// The laser 0.102 m behind the base origin, turned round.
tf2_msgs::msg::TFMessage mount_message()
{
  tf2_msgs::msg::TFMessage message;
  message.transforms.resize(1);
  auto & mount = message.transforms[0];
  mount.header.stamp.sec = 100;
  mount.header.frame_id = "base_footprint";
  mount.child_frame_id = "laser";
  mount.transform.translation.x = -0.102;
  mount.transform.rotation.z = 1.0;
  mount.transform.rotation.w = 0.0;
  return message;
}

// The bag after its magic line, with the records a recorder writes: bag
// header, a chunk of connections and messages, its index, the connections
// again and the chunk info. Frame ids carry the old "/" prefix.
std::vector<std::uint8_t> ros1_bag(const std::vector<LaserScan> & scans, bool with_mount)
{
  std::vector<align_tools::Ros1BagConnection> connections{{0, "/scan", "sensor_msgs/LaserScan"}};
  std::vector<align_tools::Ros1BagMessage> messages;
  if (with_mount) {
    connections.push_back({1, "/tf_static", "tf2_msgs/TFMessage"});
    messages.push_back({1, 100, align_tools::encode_ros1_tf_message(mount_message())});
  }
  for (std::size_t i = 0; i < scans.size(); ++i) {
    LaserScan scan = scans[i];
    scan.header.frame_id = "/" + scan.header.frame_id;
    messages.push_back({0, 100 + static_cast<std::uint32_t>(i), align_tools::encode_ros1_laser_scan(scan)});
  }
  return align_tools::ros1_bag_records(connections, messages);
}

void ros1_seeds(const fs::path & out, const fs::path * real)
{
  const fs::path folder = out / "ros1_bag";
  save(folder, "two_scans_and_mount", ros1_bag({cut(target_scan(0.7, 0.0, 541, 5), 240, 60),
      cut(target_scan(0.7, 0.1, 541, 6), 250, 40)}, true));
  LaserScan no_intensities = cut(target_scan(0.8, 0.0, 541, 7), 260, 20);
  no_intensities.intensities.clear();
  save(folder, "no_intensities", ros1_bag({no_intensities}, false));
  if (real != nullptr) {
    save(folder, "real_reflector_cut", ros1_bag({cut(recorded_scan(*real / "reflcal_ref_1111.bag", 0), 480, 120)}, true));
    // The head of a real recording as its recorder wrote it (cut short).
    std::ifstream bag(*real / "scan_tools_demo.bag", std::ios::binary);
    std::vector<std::uint8_t> head(16384);
    bag.read(reinterpret_cast<char *>(head.data()), static_cast<std::streamsize>(head.size()));
    head.erase(head.begin(), head.begin() + 13);  // the fuzzer adds the magic line
    save(folder, "real_head", head);
  }
}

std::vector<std::uint8_t> bag_description(
  std::uint8_t flags, const std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> & messages,
  const std::string & metadata = "")
{
  ByteSink out;
  out.u8(flags);
  out.u8(static_cast<std::uint8_t>(messages.size()));
  std::uint32_t stamp = 1000;
  for (const auto & [topic, data] : messages) {
    out.u8(topic);
    out.u32(stamp++);
    out.u32(0);
    out.u16(static_cast<std::uint16_t>(data.size()));
    for (std::uint8_t b : data) {out.u8(b);}
  }
  std::vector<std::uint8_t> bytes = out.bytes();
  bytes.insert(bytes.end(), metadata.begin(), metadata.end());
  return bytes;
}

void rosbag2_seeds(const fs::path & out, const fs::path * bundled)
{
  const fs::path folder = out / "rosbag2";
  tf2_msgs::msg::TFMessage mount;
  mount.transforms.resize(1);
  mount.transforms[0].header.frame_id = "base_footprint";
  mount.transforms[0].child_frame_id = "laser";
  mount.transforms[0].transform.rotation.w = 1.0;
  const auto scan = align_tools::encode_laser_scan_cdr(cut(target_scan(0.7, 0.0, 541, 8), 240, 60));
  const auto other = align_tools::encode_laser_scan_cdr(cut(target_scan(0.6, 0.0, 541, 9), 250, 30));
  const auto tf = align_tools::encode_tf_message_cdr(mount);
  save(folder, "scans_and_mount", bag_description(0, {{1, tf}, {0, scan}, {0, other}}));
  save(folder, "two_scan_topics", bag_description(2, {{0, scan}, {2, other}}));
  save(folder, "wrong_types", bag_description(0, {{3, tf}, {4, scan}, {5, {0, 1, 0, 0}}}));
  save(folder, "own_metadata", bag_description(0x20, {{0, scan}},
    "rosbag2_bagfile_information:\n  version: 5\n  storage_identifier: sqlite3\n"
    "  relative_file_paths:\n    - bag_0.db3\n"));
  if (bundled != nullptr) {
    for (const auto & entry : fs::directory_iterator(*bundled)) {
      if (entry.path().extension() == ".db3") {
        std::ifstream in(entry.path(), std::ios::binary);
        save(folder, "bundled.db3",
          std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
      }
    }
  }
}

// MCAP seeds are written without their magic, which the target adds back.
void mcap_seeds(const fs::path & out)
{
  const fs::path folder = out / "mcap";
  tf2_msgs::msg::TFMessage mount;
  mount.transforms.resize(1);
  mount.transforms[0].header.frame_id = "base_footprint";
  mount.transforms[0].child_frame_id = "laser";
  mount.transforms[0].transform.rotation.w = 1.0;
  const std::vector<align_tools::Rosbag2Topic> topics{
    {"/back_scan", "sensor_msgs/msg/LaserScan", "cdr", align_tools::default_qos_profiles(false)},
    {"/tf_static", "tf2_msgs/msg/TFMessage", "cdr", align_tools::default_qos_profiles(true)}};
  const std::vector<align_tools::Rosbag2Message> messages{
    {"/tf_static", "tf2_msgs/msg/TFMessage", 1, align_tools::encode_tf_message_cdr(mount)},
    {"/back_scan", "sensor_msgs/msg/LaserScan", 2,
      align_tools::encode_laser_scan_cdr(cut(target_scan(0.7, 0.0, 541, 8), 240, 60))},
    {"/back_scan", "sensor_msgs/msg/LaserScan", 3,
      align_tools::encode_laser_scan_cdr(cut(target_scan(0.6, 0.0, 541, 9), 250, 30))}};
  const fs::path scratch = out / "mcap_scratch.mcap";
  for (const std::string compression : {"", "zstd", "lz4"}) {
    for (const bool chunked : {false, true}) {
      if (!chunked && !compression.empty()) {
        continue;
      }
      align_tools::McapLayout layout;
      layout.compression = compression;
      layout.chunked = chunked;
      layout.messages_per_chunk = 2;
      layout.summary = compression != "lz4";
      try {
        align_tools::write_mcap(scratch.string(), topics, messages, layout);
      } catch (const align_tools::RecordingError &) {
        continue;  // a compression this build does not have
      }
      std::ifstream in(scratch, std::ios::binary);
      std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
      bytes.erase(bytes.begin(), bytes.begin() + 8);
      save(folder, (chunked ? "chunked_" : "loose_") + (compression.empty() ? std::string("none") : compression),
        bytes);
    }
  }
  fs::remove(scratch);
}

void params_seeds(const fs::path & out)
{
  const fs::path folder = out / "params_yaml";
  save_text(folder, "feature.yaml",
    "/align_model/align_feature_node:\n  ros__parameters:\n    min_angle: -1.0\n    max_angle: 1.0\n"
    "    threshold_split_neighbor: true\n    min_points_per_line: 5\n    times: 0x10\n"
    "    publish_frame: base_footprint\n    debug: False\n");
  save_text(folder, "wildcards.yaml",
    "/**:\n  ros__parameters:\n    a: [1, 2, 3]\n    b: [.inf, -.inf, .nan]\n    c: ['x', \"y\"]\n"
    "/*/align_node:\n  ros__parameters:\n    nested:\n      deeper:\n        value: !!str 1\n"
    "align_node:\n  ros__parameters:\n    laser_to_base_th: 3.141592653589793\n    flags: [yes, no, on]\n");
  save_text(folder, "value.txt", "[1.5, -2e300, 0o17]");
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 2) {
    std::cerr << "usage: fuzz_make_seeds OUT [REAL_DATA_DIR [BUNDLED_BAG_FOLDER]]\n";
    return 2;
  }
  const fs::path out = argv[1];
  try {
    node_seeds(out);
    const fs::path real = argc > 2 ? fs::path(argv[2]) : fs::path();
    const fs::path bundled = argc > 3 ? fs::path(argv[3]) : fs::path();
    if (argc > 2) {
      real_node_seeds(out, real);
    }
    scan_yaml_seeds(out, argc > 2 ? &real : nullptr);
    ros1_seeds(out, argc > 2 ? &real : nullptr);
    rosbag2_seeds(out, argc > 3 ? &bundled : nullptr);
    mcap_seeds(out);
    params_seeds(out);
  } catch (const std::exception & error) {
    std::cerr << "fuzz_make_seeds: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
