#include "align_tools/ros1_bag_writer.hpp"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>

#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

const char kMagic[] = "#ROSBAG V2.0\n";
constexpr std::uint64_t kMagicSize = sizeof(kMagic) - 1;
constexpr std::uint32_t kIndexEntrySize = 12;

// Little-endian ROS 1 serialization into a growing buffer.
class Bytes
{
public:
  void u32(std::uint32_t v)
  {
    for (int i = 0; i < 4; ++i) {
      bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
  }
  void u64(std::uint64_t v)
  {
    u32(static_cast<std::uint32_t>(v));
    u32(static_cast<std::uint32_t>(v >> 32));
  }
  void f32(float v)
  {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
  }
  void f64(double v)
  {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    u64(bits);
  }
  void text(const std::string & s)
  {
    u32(static_cast<std::uint32_t>(s.size()));
    raw(s);
  }
  void raw(const std::string & s) {bytes_.insert(bytes_.end(), s.begin(), s.end());}
  void raw(const std::vector<std::uint8_t> & s) {bytes_.insert(bytes_.end(), s.begin(), s.end());}
  const std::vector<std::uint8_t> & bytes() const {return bytes_;}

private:
  std::vector<std::uint8_t> bytes_;
};

std::string u32_field(std::uint32_t v)
{
  Bytes b;
  b.u32(v);
  return std::string(b.bytes().begin(), b.bytes().end());
}

std::string u64_field(std::uint64_t v)
{
  Bytes b;
  b.u64(v);
  return std::string(b.bytes().begin(), b.bytes().end());
}

std::string op_field(std::uint8_t op)
{
  return std::string("op=") + static_cast<char>(op);
}

// [header length][name=value fields][data length][data]; `claimed_length`
// replaces the true data length where a recorder wrote a wrong one.
void append_record(
  Bytes & out, const std::vector<std::string> & fields, const std::vector<std::uint8_t> & data,
  std::uint32_t claimed_length)
{
  Bytes header;
  for (const auto & field : fields) {
    header.text(field);
  }
  out.u32(static_cast<std::uint32_t>(header.bytes().size()));
  out.raw(header.bytes());
  out.u32(claimed_length);
  out.raw(data);
}

void append_record(Bytes & out, const std::vector<std::string> & fields, const std::vector<std::uint8_t> & data)
{
  append_record(out, fields, data, static_cast<std::uint32_t>(data.size()));
}

void append_connection(Bytes & out, const Ros1BagConnection & connection)
{
  Bytes details;
  details.text("topic=" + connection.topic);
  details.text("type=" + connection.type);
  details.text("md5sum=*");
  details.text("message_definition=");
  append_record(
    out, {op_field(0x07), "conn=" + u32_field(connection.id), "topic=" + connection.topic}, details.bytes());
}

// One chunk of messages [first, last) with the connections they use; returns
// the index entries (time and offset inside the chunk) per connection.
std::map<std::uint32_t, std::vector<std::uint8_t>> append_chunk(
  Bytes & out, const std::vector<Ros1BagConnection> & connections,
  const std::vector<Ros1BagMessage> & messages, std::size_t first, std::size_t last)
{
  Bytes chunk;
  for (const auto & connection : connections) {
    const bool used = std::any_of(
      messages.begin() + static_cast<long>(first), messages.begin() + static_cast<long>(last),
      [&](const Ros1BagMessage & m) {return m.connection == connection.id;});
    if (used) {
      append_connection(chunk, connection);
    }
  }
  std::map<std::uint32_t, Bytes> entries;
  for (std::size_t i = first; i < last; ++i) {
    const auto & message = messages[i];
    Bytes & entry = entries[message.connection];
    entry.u32(message.sec);
    entry.u32(0);
    entry.u32(static_cast<std::uint32_t>(chunk.bytes().size()));
    append_record(
      chunk, {op_field(0x02), "conn=" + u32_field(message.connection), "time=" + u32_field(message.sec) + u32_field(0)},
      message.data);
  }
  append_record(
    out, {op_field(0x05), "compression=none", "size=" + u32_field(static_cast<std::uint32_t>(chunk.bytes().size()))},
    chunk.bytes());
  std::map<std::uint32_t, std::vector<std::uint8_t>> result;
  for (const auto & [id, entry] : entries) {
    result[id] = entry.bytes();
  }
  return result;
}

struct ChunkInfo
{
  std::uint64_t position = 0;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::map<std::uint32_t, std::uint32_t> counts;
};

void append_chunk_info(Bytes & out, const ChunkInfo & info)
{
  Bytes data;
  for (const auto & [id, count] : info.counts) {
    data.u32(id);
    data.u32(count);
  }
  append_record(
    out, {op_field(0x06), "ver=" + u32_field(1), "chunk_pos=" + u64_field(info.position),
      "start_time=" + u32_field(info.start) + u32_field(0), "end_time=" + u32_field(info.end) + u32_field(0),
      "count=" + u32_field(static_cast<std::uint32_t>(info.counts.size()))},
    data.bytes());
}

}  // namespace

std::vector<std::uint8_t> ros1_bag_records(
  const std::vector<Ros1BagConnection> & connections, const std::vector<Ros1BagMessage> & messages,
  const Ros1BagLayout & layout)
{
  const std::size_t per_chunk = std::max<std::size_t>(layout.messages_per_chunk, 1);
  const std::size_t chunk_count = (messages.size() + per_chunk - 1) / per_chunk;
  Bytes body;
  std::vector<ChunkInfo> infos;
  for (std::size_t first = 0; first < messages.size(); first += per_chunk) {
    const std::size_t last = std::min(first + per_chunk, messages.size());
    ChunkInfo info;
    info.position = kMagicSize + body.bytes().size();
    info.start = messages[first].sec;
    info.end = messages[last - 1].sec;
    for (const auto & [id, entries] : append_chunk(body, connections, messages, first, last)) {
      const auto count = static_cast<std::uint32_t>(entries.size() / kIndexEntrySize);
      info.counts[id] = count;
      append_record(
        body, {op_field(0x04), "ver=" + u32_field(1), "conn=" + u32_field(id), "count=" + u32_field(count)},
        entries, count * layout.claimed_index_entry_size);
    }
    infos.push_back(info);
  }

  // The bag header comes first but names where the index section starts;
  // its data is padding that a recorder rewrites in place.
  Bytes header;
  const std::vector<std::uint8_t> padding(64, ' ');
  const auto header_fields = [&](std::uint64_t index_position) {
      return std::vector<std::string>{op_field(0x03), "index_pos=" + u64_field(index_position),
        "conn_count=" + u32_field(static_cast<std::uint32_t>(connections.size())),
        "chunk_count=" + u32_field(static_cast<std::uint32_t>(chunk_count))};
    };
  Bytes sized;
  append_record(sized, header_fields(0), padding);
  const std::uint64_t offset = sized.bytes().size();
  append_record(header, header_fields(kMagicSize + offset + body.bytes().size()), padding);

  Bytes out;
  out.raw(header.bytes());
  for (auto & info : infos) {
    info.position += offset;
  }
  out.raw(body.bytes());
  for (const auto & connection : connections) {
    append_connection(out, connection);
  }
  for (const auto & info : infos) {
    append_chunk_info(out, info);
  }
  return out.bytes();
}

void write_ros1_bag(
  const std::string & path, const std::vector<Ros1BagConnection> & connections,
  const std::vector<Ros1BagMessage> & messages, const Ros1BagLayout & layout)
{
  const auto records = ros1_bag_records(connections, messages, layout);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(kMagic, static_cast<std::streamsize>(kMagicSize));
  out.write(reinterpret_cast<const char *>(records.data()), static_cast<std::streamsize>(records.size()));
  if (!out) {
    throw RecordingError(path + ": cannot write");
  }
}

std::vector<std::uint8_t> encode_ros1_laser_scan(const sensor_msgs::msg::LaserScan & scan)
{
  Bytes w;
  w.u32(0);  // seq
  w.u32(static_cast<std::uint32_t>(scan.header.stamp.sec));
  w.u32(scan.header.stamp.nanosec);
  w.text(scan.header.frame_id);
  for (float v : {scan.angle_min, scan.angle_max, scan.angle_increment, scan.time_increment, scan.scan_time,
      scan.range_min, scan.range_max})
  {
    w.f32(v);
  }
  w.u32(static_cast<std::uint32_t>(scan.ranges.size()));
  for (float v : scan.ranges) {
    w.f32(v);
  }
  w.u32(static_cast<std::uint32_t>(scan.intensities.size()));
  for (float v : scan.intensities) {
    w.f32(v);
  }
  return w.bytes();
}

std::vector<std::uint8_t> encode_ros1_tf_message(const tf2_msgs::msg::TFMessage & message)
{
  Bytes w;
  w.u32(static_cast<std::uint32_t>(message.transforms.size()));
  for (const auto & t : message.transforms) {
    w.u32(0);  // seq
    w.u32(static_cast<std::uint32_t>(t.header.stamp.sec));
    w.u32(t.header.stamp.nanosec);
    w.text(t.header.frame_id);
    w.text(t.child_frame_id);
    for (double v : {t.transform.translation.x, t.transform.translation.y, t.transform.translation.z,
        t.transform.rotation.x, t.transform.rotation.y, t.transform.rotation.z, t.transform.rotation.w})
    {
      w.f64(v);
    }
  }
  return w.bytes();
}

}  // namespace align_tools
