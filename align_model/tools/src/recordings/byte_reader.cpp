#include "align_tools/byte_reader.hpp"

#include <cstring>
#include <utility>

#include "align_tools/recording_error.hpp"

namespace align_tools
{

ByteReader::ByteReader(
  const std::uint8_t * data, std::size_t size, bool little_endian, std::size_t alignment_origin)
: data_(data), size_(size), little_endian_(little_endian), alignment_origin_(alignment_origin)
{
}

void ByteReader::require(std::size_t count) const
{
  if (count > size_ - position_) {
    throw RecordingError(
            "data ends after " + std::to_string(size_) + " bytes, " + std::to_string(count) +
            " more needed at byte " + std::to_string(position_));
  }
}

void ByteReader::seek(std::size_t position)
{
  if (position > size_) {
    throw RecordingError(
            "offset " + std::to_string(position) + " beyond the end of " + std::to_string(size_) +
            " bytes");
  }
  position_ = position;
}

void ByteReader::skip(std::size_t count)
{
  require(count);
  position_ += count;
}

void ByteReader::align(std::size_t size)
{
  const std::size_t offset = position_ - alignment_origin_;
  const std::size_t padding = (size - offset % size) % size;
  skip(padding);
}

std::uint64_t ByteReader::read_unsigned(std::size_t size)
{
  require(size);
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const std::size_t byte_index = little_endian_ ? size - 1 - i : i;
    value = (value << 8) | data_[position_ + byte_index];
  }
  position_ += size;
  return value;
}

std::uint8_t ByteReader::read_u8() {return static_cast<std::uint8_t>(read_unsigned(1));}
std::uint16_t ByteReader::read_u16() {return static_cast<std::uint16_t>(read_unsigned(2));}
std::uint32_t ByteReader::read_u32() {return static_cast<std::uint32_t>(read_unsigned(4));}
std::int32_t ByteReader::read_i32() {return static_cast<std::int32_t>(read_u32());}
std::uint64_t ByteReader::read_u64() {return read_unsigned(8);}

float ByteReader::read_f32()
{
  const std::uint32_t bits = read_u32();
  float value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

double ByteReader::read_f64()
{
  const std::uint64_t bits = read_u64();
  double value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

std::string ByteReader::read_bytes_as_string(std::size_t count)
{
  require(count);
  std::string text(reinterpret_cast<const char *>(data_ + position_), count);
  position_ += count;
  return text;
}

std::vector<float> ByteReader::read_f32_array(std::size_t count)
{
  // Checked before allocating, so a corrupt count cannot ask for gigabytes.
  if (count > remaining() / 4) {
    throw RecordingError(
            "array of " + std::to_string(count) + " floats at byte " + std::to_string(position_) +
            " runs past the end of " + std::to_string(size_) + " bytes");
  }
  std::vector<float> values(count);
  for (auto & value : values) {
    value = read_f32();
  }
  return values;
}

void ByteWriter::align(std::size_t size)
{
  const std::size_t offset = bytes_.size() - alignment_origin_;
  const std::size_t padding = (size - offset % size) % size;
  bytes_.insert(bytes_.end(), padding, 0);
}

void ByteWriter::write_unsigned(std::uint64_t value, std::size_t size)
{
  for (std::size_t i = 0; i < size; ++i) {
    bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

void ByteWriter::write_u8(std::uint8_t value) {bytes_.push_back(value);}
void ByteWriter::write_u16(std::uint16_t value) {write_unsigned(value, 2);}
void ByteWriter::write_u32(std::uint32_t value) {write_unsigned(value, 4);}
void ByteWriter::write_u64(std::uint64_t value) {write_unsigned(value, 8);}
void ByteWriter::write_i32(std::int32_t value) {write_u32(static_cast<std::uint32_t>(value));}

void ByteWriter::write_f32(float value)
{
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  write_u32(bits);
}

void ByteWriter::write_f64(double value)
{
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  write_u64(bits);
}

void ByteWriter::write_raw(const void * bytes, std::size_t count)
{
  const auto * begin = static_cast<const std::uint8_t *>(bytes);
  bytes_.insert(bytes_.end(), begin, begin + count);
}

}  // namespace align_tools
