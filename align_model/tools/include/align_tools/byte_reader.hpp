#ifndef ALIGN_TOOLS__BYTE_READER_HPP_
#define ALIGN_TOOLS__BYTE_READER_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace align_tools
{

// Bounds-checked reading of serialized messages. Every read past the end
// throws RecordingError, so a truncated or corrupt record can never make a
// decoder read outside its buffer.
class ByteReader
{
public:
  // `alignment_origin` is the offset from which alignment is counted (CDR
  // counts from the first byte after its 4-byte encapsulation header).
  ByteReader(const std::uint8_t * data, std::size_t size, bool little_endian = true,
    std::size_t alignment_origin = 0);

  std::size_t position() const {return position_;}
  std::size_t remaining() const {return size_ - position_;}
  void seek(std::size_t position);
  void skip(std::size_t count);
  // Skips padding so that the next read starts at a multiple of `size`
  // (counted from the alignment origin).
  void align(std::size_t size);

  std::uint8_t read_u8();
  std::uint16_t read_u16();
  std::uint32_t read_u32();
  std::int32_t read_i32();
  std::uint64_t read_u64();
  float read_f32();
  double read_f64();
  std::string read_bytes_as_string(std::size_t count);
  std::vector<float> read_f32_array(std::size_t count);

private:
  void require(std::size_t count) const;
  std::uint64_t read_unsigned(std::size_t size);

  const std::uint8_t * data_;
  std::size_t size_;
  bool little_endian_;
  std::size_t alignment_origin_;
  std::size_t position_ = 0;
};

// Little-endian appending, the counterpart used by the writers.
class ByteWriter
{
public:
  explicit ByteWriter(std::size_t alignment_origin = 0)
  : alignment_origin_(alignment_origin) {}

  void align(std::size_t size);
  void write_u8(std::uint8_t value);
  void write_u16(std::uint16_t value);
  void write_u32(std::uint32_t value);
  void write_u64(std::uint64_t value);
  void write_i32(std::int32_t value);
  void write_f32(float value);
  void write_f64(double value);
  void write_raw(const void * bytes, std::size_t count);

  const std::vector<std::uint8_t> & bytes() const {return bytes_;}
  std::vector<std::uint8_t> release() {return std::move(bytes_);}

private:
  void write_unsigned(std::uint64_t value, std::size_t size);

  std::size_t alignment_origin_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace align_tools

#endif  // ALIGN_TOOLS__BYTE_READER_HPP_
