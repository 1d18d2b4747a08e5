// The LaserScan part of the node fuzz inputs, and its inverse for writing
// seeds. Layout of one scan:
//   u8 flags (meaning chosen by the target)
//   7 floats: angle_min, angle_max, angle_increment, time_increment,
//             scan_time, range_min, range_max (see interesting_float)
//   u16 number of ranges (at most kMaxReadings)
//   u8 intensity layout: 0 as many as ranges, 1 none, 2 fewer, 3 more
//   u8 how many fewer / more
//   2 bytes per range (range_from_code), 1 byte per intensity
#ifndef ALIGN_MODEL_FUZZ__SCAN_CODEC_HPP_
#define ALIGN_MODEL_FUZZ__SCAN_CODEC_HPP_

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_bytes.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_fuzz
{

// Real scanners send up to a few thousand readings; more only slows the
// fuzzer down without reaching new code.
constexpr std::size_t kMaxReadings = 4096;

struct FuzzScan
{
  std::uint8_t flags = 0;
  sensor_msgs::msg::LaserScan scan;
};

inline FuzzScan read_scan(Bytes & in)
{
  FuzzScan out;
  out.flags = in.u8();
  auto & scan = out.scan;
  scan.angle_min = interesting_float(in);
  scan.angle_max = interesting_float(in);
  scan.angle_increment = interesting_float(in);
  scan.time_increment = interesting_float(in);
  scan.scan_time = interesting_float(in);
  scan.range_min = interesting_float(in);
  scan.range_max = interesting_float(in);
  const std::size_t readings = in.u16() % (kMaxReadings + 1);
  const std::uint8_t layout = in.u8() % 4;
  const std::size_t delta = in.u8();
  std::size_t intensities = readings;
  if (layout == 1) {
    intensities = 0;
  } else if (layout == 2) {
    intensities = delta > readings ? 0 : readings - delta;
  } else if (layout == 3) {
    intensities = readings + delta;
  }
  scan.ranges.resize(readings);
  for (auto & range : scan.ranges) {
    range = range_from_code(in.u16());
  }
  scan.intensities.resize(intensities);
  for (auto & intensity : scan.intensities) {
    intensity = intensity_from_code(in.u8());
  }
  return out;
}

class ByteSink
{
public:
  void u8(std::uint8_t value) {bytes_.push_back(value);}
  void u16(std::uint16_t value)
  {
    u8(static_cast<std::uint8_t>(value & 0xff));
    u8(static_cast<std::uint8_t>(value >> 8));
  }
  void u32(std::uint32_t value)
  {
    u16(static_cast<std::uint16_t>(value & 0xffff));
    u16(static_cast<std::uint16_t>(value >> 16));
  }
  void exact_float(float value)
  {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    u8(0xff);
    u32(bits);
  }
  const std::vector<std::uint8_t> & bytes() const {return bytes_;}

private:
  std::vector<std::uint8_t> bytes_;
};

// Inverse of read_scan up to the rounding of ranges to millimetres and of
// intensities to the one-byte scale.
inline void write_scan(ByteSink & out, std::uint8_t flags, const sensor_msgs::msg::LaserScan & scan)
{
  out.u8(flags);
  for (float value : {scan.angle_min, scan.angle_max, scan.angle_increment, scan.time_increment,
      scan.scan_time, scan.range_min, scan.range_max})
  {
    out.exact_float(value);
  }
  const std::size_t readings = std::min(scan.ranges.size(), kMaxReadings);
  out.u16(static_cast<std::uint16_t>(readings));
  if (scan.intensities.empty()) {
    out.u8(1);
    out.u8(0);
  } else {
    out.u8(0);
    out.u8(0);
  }
  for (std::size_t i = 0; i < readings; ++i) {
    out.u16(code_from_range(scan.ranges[i]));
  }
  if (!scan.intensities.empty()) {
    for (std::size_t i = 0; i < readings; ++i) {
      out.u8(code_from_intensity(i < scan.intensities.size() ? scan.intensities[i] : 0.0f));
    }
  }
}

}  // namespace align_fuzz

#endif  // ALIGN_MODEL_FUZZ__SCAN_CODEC_HPP_
