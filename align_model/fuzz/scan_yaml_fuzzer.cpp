// Fuzzes the reader of `ros2 topic echo` YAML streams. Every input either
// reads or fails with a RecordingError; every scan read writes out and reads
// back to the same values.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "align_tools/recording_error.hpp"
#include "align_tools/scan_yaml.hpp"

namespace
{

bool same_float(float a, float b)
{
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof(a)) == 0;
}

bool same_floats(const std::vector<float> & a, const std::vector<float> & b)
{
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!same_float(a[i], b[i])) {
      return false;
    }
  }
  return true;
}

// The writer puts the frame id out as it is; only plain names survive the
// trip through YAML unchanged.
bool plain_frame(const std::string & frame)
{
  if (frame.empty()) {
    return false;
  }
  for (char c : frame) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '/')) {
      return false;
    }
  }
  if (frame == "null" || frame == "Null" || frame == "NULL") {
    return false;
  }
  return std::isalpha(static_cast<unsigned char>(frame[0])) || frame[0] == '_' || frame[0] == '/';
}

void check_round_trip(sensor_msgs::msg::LaserScan scan)
{
  if (!plain_frame(scan.header.frame_id)) {
    scan.header.frame_id = "laser";
  }
  std::stringstream text;
  align_tools::write_scan_yaml(text, scan);
  const auto back = align_tools::read_scan_yaml(text, "round trip");
  bool same = back.size() == 1;
  if (same) {
    const auto & b = back.front();
    same = b.header.stamp.sec == scan.header.stamp.sec && b.header.stamp.nanosec == scan.header.stamp.nanosec &&
      b.header.frame_id == scan.header.frame_id &&
      same_float(b.angle_min, scan.angle_min) && same_float(b.angle_max, scan.angle_max) &&
      same_float(b.angle_increment, scan.angle_increment) &&
      same_float(b.time_increment, scan.time_increment) && same_float(b.scan_time, scan.scan_time) &&
      same_float(b.range_min, scan.range_min) && same_float(b.range_max, scan.range_max) &&
      same_floats(b.ranges, scan.ranges) && same_floats(b.intensities, scan.intensities);
  }
  if (!same) {
    std::fprintf(stderr, "a scan did not read back as written:\n%s\n", text.str().c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
  std::vector<sensor_msgs::msg::LaserScan> scans;
  try {
    scans = align_tools::read_scan_yaml(in, "fuzz input");
  } catch (const align_tools::RecordingError &) {
    return 0;
  }
  for (const auto & scan : scans) {
    check_round_trip(scan);
  }
  return 0;
}
