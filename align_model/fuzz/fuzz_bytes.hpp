// Reading structured values out of a fuzz input. Every read succeeds: past
// the end it yields zeros, so any byte string is a valid input and a
// mutation changes only the values it touches.
#ifndef ALIGN_MODEL_FUZZ__FUZZ_BYTES_HPP_
#define ALIGN_MODEL_FUZZ__FUZZ_BYTES_HPP_

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace align_fuzz
{

class Bytes
{
public:
  Bytes(const std::uint8_t * data, std::size_t size)
  : data_(data), size_(size) {}

  std::size_t remaining() const {return size_ - position_;}

  std::uint8_t u8()
  {
    return position_ < size_ ? data_[position_++] : 0;
  }
  std::uint16_t u16()
  {
    const std::uint16_t low = u8();
    return static_cast<std::uint16_t>(low | (u8() << 8));
  }
  std::uint32_t u32()
  {
    const std::uint32_t low = u16();
    return low | (static_cast<std::uint32_t>(u16()) << 16);
  }
  std::uint64_t u64()
  {
    const std::uint64_t low = u32();
    return low | (static_cast<std::uint64_t>(u32()) << 32);
  }
  float raw_float()
  {
    const std::uint32_t bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
  }
  double raw_double()
  {
    const std::uint64_t bits = u64();
    double value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
  }
  std::string text(std::size_t max_length)
  {
    const std::size_t length = u8() % (max_length + 1);
    std::string out;
    for (std::size_t i = 0; i < length && remaining() > 0; ++i) {
      out.push_back(static_cast<char>(u8()));
    }
    return out;
  }

private:
  const std::uint8_t * data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Scan header fields: a table of values that break arithmetic in different
// ways, and an escape to any bit pattern.
inline float interesting_float(Bytes & in)
{
  static const float table[] = {
    0.0f, -0.0f, 1.0f, -1.0f,
    0.00436332f, -0.00436332f, 0.0043633231f, 0.001f,   // 0.25 degree steps
    -2.3561945f, 2.3561945f, -1.5707964f, 1.5707964f,     // +-135, +-90 degrees
    -3.1415927f, 3.1415927f, 6.2831855f, -6.2831855f,
    0.01f, 0.02f, 30.0f, 60.0f,
    1.74e-5f, 0.025f, 1e-30f, 1e30f,
    std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
    -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::denorm_min(),
    -std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max(),
    std::numeric_limits<float>::lowest(), std::numeric_limits<float>::min(),
  };
  constexpr std::size_t kTable = sizeof(table) / sizeof(table[0]);
  const std::uint8_t pick = in.u8();
  if (pick < kTable) {
    return table[pick];
  }
  if (pick == 0xff) {
    return in.raw_float();
  }
  // Small multiples of a quarter degree and of a centimetre.
  return static_cast<float>(pick - kTable) * 0.01f;
}

// One range reading in two bytes: millimetres, with the top codes reserved
// for the values that sensors really send when they see nothing (or that a
// broken driver sends).
inline float range_from_code(std::uint16_t code)
{
  switch (code) {
    case 0xffff: return std::numeric_limits<float>::quiet_NaN();
    case 0xfffe: return std::numeric_limits<float>::infinity();
    case 0xfffd: return -std::numeric_limits<float>::infinity();
    case 0xfffc: return std::numeric_limits<float>::denorm_min();
    case 0xfffb: return -1.0f;
    case 0xfffa: return std::numeric_limits<float>::max();
    case 0xfff9: return -0.0f;
    case 0xfff8: return 1e-40f;
    default: return static_cast<float>(code) * 0.001f;
  }
}

inline std::uint16_t code_from_range(float range)
{
  if (std::isnan(range)) {
    return 0xffff;
  }
  if (std::isinf(range)) {
    return range > 0 ? 0xfffe : 0xfffd;
  }
  if (range < 0.0f) {
    return 0xfffb;
  }
  const double millimetres = std::round(static_cast<double>(range) * 1000.0);
  return millimetres >= 0xfff0 ? 0xffef : static_cast<std::uint16_t>(millimetres);
}

// One intensity in one byte: the 0..255 scale of the default band, and
// codes for the raw scale of other sensors and for broken values.
inline float intensity_from_code(std::uint8_t code)
{
  switch (code) {
    case 240: return std::numeric_limits<float>::quiet_NaN();
    case 241: return std::numeric_limits<float>::infinity();
    case 242: return -std::numeric_limits<float>::infinity();
    case 243: return -1.0f;
    case 244: return 1e-42f;
    case 245: return 3e38f;
    case 246: return 5000.0f;
    default: return static_cast<float>(code);
  }
}

inline std::uint8_t code_from_intensity(float intensity)
{
  if (std::isnan(intensity)) {
    return 240;
  }
  if (intensity >= 3000.0f) {
    return 246;
  }
  if (intensity < 0.0f) {
    return 243;
  }
  const float rounded = std::round(intensity);
  if (rounded >= 240.0f && rounded <= 246.0f) {
    return rounded >= 243.0f ? 247 : 239;
  }
  return rounded > 255.0f ? 255 : static_cast<std::uint8_t>(rounded);
}

}  // namespace align_fuzz

#endif  // ALIGN_MODEL_FUZZ__FUZZ_BYTES_HPP_
