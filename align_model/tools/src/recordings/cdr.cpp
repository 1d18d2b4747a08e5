#include "align_tools/cdr.hpp"

#include <string>

#include "align_tools/byte_reader.hpp"
#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

constexpr std::size_t kEncapsulationSize = 4;

ByteReader open_payload(const std::vector<std::uint8_t> & blob)
{
  if (blob.size() < kEncapsulationSize) {
    throw RecordingError(
            "CDR message of " + std::to_string(blob.size()) + " bytes has no encapsulation header");
  }
  const std::uint8_t kind = blob[1];
  if (blob[0] != 0 || kind > 1) {
    throw RecordingError("not a plain CDR message (encapsulation kind " + std::to_string(kind) + ")");
  }
  ByteReader reader(blob.data(), blob.size(), kind == 1, kEncapsulationSize);
  reader.skip(kEncapsulationSize);
  return reader;
}

std::string read_string(ByteReader & reader)
{
  reader.align(4);
  const std::uint32_t length = reader.read_u32();
  if (length == 0) {
    // Not what Fast-CDR writes (an empty string still carries its NUL), but
    // harmless to accept.
    return {};
  }
  std::string text = reader.read_bytes_as_string(length);
  text.pop_back();  // the terminating NUL
  return text;
}

std::vector<float> read_float_sequence(ByteReader & reader)
{
  reader.align(4);
  const std::uint32_t count = reader.read_u32();
  return reader.read_f32_array(count);
}

void read_header(ByteReader & reader, std_msgs::msg::Header & header)
{
  reader.align(4);
  header.stamp.sec = reader.read_i32();
  header.stamp.nanosec = reader.read_u32();
  header.frame_id = read_string(reader);
}

void write_string(ByteWriter & writer, const std::string & text)
{
  writer.align(4);
  writer.write_u32(static_cast<std::uint32_t>(text.size() + 1));
  writer.write_raw(text.data(), text.size());
  writer.write_u8(0);
}

void write_float_sequence(ByteWriter & writer, const std::vector<float> & values)
{
  writer.align(4);
  writer.write_u32(static_cast<std::uint32_t>(values.size()));
  for (float value : values) {
    writer.write_f32(value);
  }
}

void write_header(ByteWriter & writer, const std_msgs::msg::Header & header)
{
  writer.align(4);
  writer.write_i32(header.stamp.sec);
  writer.write_u32(header.stamp.nanosec);
  write_string(writer, header.frame_id);
}

ByteWriter start_payload()
{
  ByteWriter writer(kEncapsulationSize);
  const std::uint8_t little_endian_header[kEncapsulationSize] = {0, 1, 0, 0};
  writer.write_raw(little_endian_header, kEncapsulationSize);
  return writer;
}

}  // namespace

sensor_msgs::msg::LaserScan decode_laser_scan_cdr(const std::vector<std::uint8_t> & blob)
{
  ByteReader reader = open_payload(blob);
  sensor_msgs::msg::LaserScan scan;
  read_header(reader, scan.header);
  reader.align(4);
  scan.angle_min = reader.read_f32();
  scan.angle_max = reader.read_f32();
  scan.angle_increment = reader.read_f32();
  scan.time_increment = reader.read_f32();
  scan.scan_time = reader.read_f32();
  scan.range_min = reader.read_f32();
  scan.range_max = reader.read_f32();
  scan.ranges = read_float_sequence(reader);
  scan.intensities = read_float_sequence(reader);
  return scan;
}

tf2_msgs::msg::TFMessage decode_tf_message_cdr(const std::vector<std::uint8_t> & blob)
{
  ByteReader reader = open_payload(blob);
  tf2_msgs::msg::TFMessage message;
  reader.align(4);
  const std::uint32_t count = reader.read_u32();
  // Each transform takes at least 72 bytes; a larger count is corrupt.
  if (count > reader.remaining() / 72) {
    throw RecordingError("TFMessage claims " + std::to_string(count) + " transforms, more than its bytes hold");
  }
  message.transforms.resize(count);
  for (auto & transform : message.transforms) {
    read_header(reader, transform.header);
    transform.child_frame_id = read_string(reader);
    reader.align(8);
    transform.transform.translation.x = reader.read_f64();
    transform.transform.translation.y = reader.read_f64();
    transform.transform.translation.z = reader.read_f64();
    transform.transform.rotation.x = reader.read_f64();
    transform.transform.rotation.y = reader.read_f64();
    transform.transform.rotation.z = reader.read_f64();
    transform.transform.rotation.w = reader.read_f64();
  }
  return message;
}

std::vector<std::uint8_t> encode_laser_scan_cdr(const sensor_msgs::msg::LaserScan & scan)
{
  ByteWriter writer = start_payload();
  write_header(writer, scan.header);
  writer.align(4);
  writer.write_f32(scan.angle_min);
  writer.write_f32(scan.angle_max);
  writer.write_f32(scan.angle_increment);
  writer.write_f32(scan.time_increment);
  writer.write_f32(scan.scan_time);
  writer.write_f32(scan.range_min);
  writer.write_f32(scan.range_max);
  write_float_sequence(writer, scan.ranges);
  write_float_sequence(writer, scan.intensities);
  return writer.release();
}

std::vector<std::uint8_t> encode_tf_message_cdr(const tf2_msgs::msg::TFMessage & message)
{
  ByteWriter writer = start_payload();
  writer.write_u32(static_cast<std::uint32_t>(message.transforms.size()));
  for (const auto & transform : message.transforms) {
    write_header(writer, transform.header);
    write_string(writer, transform.child_frame_id);
    writer.align(8);
    writer.write_f64(transform.transform.translation.x);
    writer.write_f64(transform.transform.translation.y);
    writer.write_f64(transform.transform.translation.z);
    writer.write_f64(transform.transform.rotation.x);
    writer.write_f64(transform.transform.rotation.y);
    writer.write_f64(transform.transform.rotation.z);
    writer.write_f64(transform.transform.rotation.w);
  }
  return writer.release();
}

}  // namespace align_tools
