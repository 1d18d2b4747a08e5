#include "align_tools/mcap.hpp"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "align_tools/byte_reader.hpp"
#include "align_tools/mcap_compression.hpp"
#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

enum Opcode : std::uint8_t
{
  kHeader = 0x01,
  kFooter = 0x02,
  kSchema = 0x03,
  kChannel = 0x04,
  kMessage = 0x05,
  kChunk = 0x06,
  kDataEnd = 0x0F,
};

// opcode (1) and length (8)
constexpr std::size_t kRecordHead = 9;

struct Channel
{
  std::string topic;
  std::string type;
  std::string encoding;
};

struct Timed
{
  std::uint64_t log_time;
  std::size_t order;
  Rosbag2Message message;
};

std::string read_string(ByteReader & reader)
{
  return reader.read_bytes_as_string(reader.read_u32());
}

// What the records of a file (or of one chunk) add up to.
class McapParser
{
public:
  explicit McapParser(std::string path)
  : path_(std::move(path)) {}

  // The records of `data` (of `size` bytes); `base` is the file offset of
  // its first byte, or, inside a chunk, where the chunk record starts.
  // Returns false after a Data End or Footer record.
  bool parse_records(const std::uint8_t * data, std::size_t size, std::size_t base, bool in_chunk)
  {
    std::size_t at = 0;
    while (at < size) {
      const std::size_t offset = base + at;
      if (size - at < kRecordHead) {
        fail(offset, "record header cut short: " + std::to_string(size - at) + " bytes left, 9 needed" +
          (in_chunk ? " (inside the chunk)" : " (truncated file?)"));
      }
      ByteReader head(data + at, kRecordHead);
      const std::uint8_t opcode = head.read_u8();
      const std::uint64_t length = head.read_u64();
      if (length > size - at - kRecordHead) {
        fail(offset, "record 0x" + hex(opcode) + " states " + std::to_string(length) + " bytes, " +
          std::to_string(size - at - kRecordHead) + " remain" + (in_chunk ? " in the chunk" : " (truncated file?)"));
      }
      const std::uint8_t * content = data + at + kRecordHead;
      at += kRecordHead + static_cast<std::size_t>(length);
      if (!record(opcode, content, static_cast<std::size_t>(length), offset, in_chunk)) {
        return false;
      }
    }
    return true;
  }

  std::vector<Rosbag2Message> messages()
  {
    std::stable_sort(timed_.begin(), timed_.end(), [](const Timed & a, const Timed & b) {
        return a.log_time < b.log_time;
      });
    std::vector<Rosbag2Message> messages;
    messages.reserve(timed_.size());
    for (auto & entry : timed_) {
      messages.push_back(std::move(entry.message));
    }
    return messages;
  }

private:
  [[noreturn]] void fail(std::size_t offset, const std::string & problem) const
  {
    throw RecordingError(path_ + ": offset " + std::to_string(offset) + ": " + problem);
  }

  static std::string hex(std::uint8_t value)
  {
    const char digits[] = "0123456789abcdef";
    return std::string{digits[value >> 4], digits[value & 0x0f]};
  }

  // Parses one record's content; a short or malformed content names the record.
  bool record(std::uint8_t opcode, const std::uint8_t * content, std::size_t size, std::size_t offset, bool in_chunk)
  {
    ByteReader reader(content, size);
    try {
      switch (opcode) {
        case kSchema: schema(reader); break;
        case kChannel: channel(reader, offset); break;
        case kMessage: message(reader, offset); break;
        case kChunk:
          if (in_chunk) {
            fail(offset, "a chunk inside a chunk");
          }
          chunk(reader, offset);
          break;
        case kDataEnd:
        case kFooter:
          return false;
        default:
          break;  // header, indexes, attachments, metadata, statistics: nothing the replay needs
      }
    } catch (const RecordingError & error) {
      const std::string what = error.what();
      if (what.rfind(path_ + ": ", 0) == 0) {
        throw;
      }
      fail(offset, "record 0x" + hex(opcode) + ": " + what);
    }
    return true;
  }

  void schema(ByteReader & reader)
  {
    const std::uint16_t id = reader.read_u16();
    schemas_[id] = read_string(reader);  // the name; encoding and definition are not needed
  }

  void channel(ByteReader & reader, std::size_t offset)
  {
    const std::uint16_t id = reader.read_u16();
    const std::uint16_t schema_id = reader.read_u16();
    Channel channel;
    channel.topic = read_string(reader);
    channel.encoding = read_string(reader);
    if (schema_id != 0) {
      const auto schema = schemas_.find(schema_id);
      if (schema == schemas_.end()) {
        fail(offset, "channel " + std::to_string(id) + " (" + channel.topic + ") names schema " +
          std::to_string(schema_id) + ", which no earlier record defines");
      }
      channel.type = schema->second;
    }
    channels_[id] = channel;
  }

  void message(ByteReader & reader, std::size_t offset)
  {
    const std::uint16_t channel_id = reader.read_u16();
    reader.skip(4);  // sequence
    const std::uint64_t log_time = reader.read_u64();
    reader.skip(8);  // publish time
    const auto channel = channels_.find(channel_id);
    if (channel == channels_.end()) {
      fail(offset, "message on channel " + std::to_string(channel_id) + ", which no earlier record defines");
    }
    if (channel->second.encoding != "cdr") {
      fail(offset, "message on " + channel->second.topic + " in '" + channel->second.encoding +
        "' encoding; only CDR (ROS 2) messages can be read");
    }
    Rosbag2Message out;
    out.topic = channel->second.topic;
    out.type = channel->second.type;
    out.timestamp = static_cast<std::int64_t>(log_time);
    const std::size_t data_size = reader.remaining();
    const std::string bytes = reader.read_bytes_as_string(data_size);
    out.data.assign(bytes.begin(), bytes.end());
    timed_.push_back({log_time, timed_.size(), std::move(out)});
  }

  void chunk(ByteReader & reader, std::size_t offset)
  {
    reader.skip(16);  // message start and end time
    const std::uint64_t uncompressed_size = reader.read_u64();
    const std::uint32_t uncompressed_crc = reader.read_u32();
    const std::string compression = read_string(reader);
    const std::uint64_t records_size = reader.read_u64();
    if (records_size != reader.remaining()) {
      fail(offset, "chunk states " + std::to_string(records_size) + " bytes of records, holds " +
        std::to_string(reader.remaining()));
    }
    std::vector<std::uint8_t> records;
    try {
      const std::string packed = reader.read_bytes_as_string(static_cast<std::size_t>(records_size));
      records = decompress_chunk(
        compression, reinterpret_cast<const std::uint8_t *>(packed.data()), packed.size(), uncompressed_size);
    } catch (const RecordingError & error) {
      fail(offset, std::string("chunk: ") + error.what());
    }
    if (uncompressed_crc != 0 && mcap_crc32(records.data(), records.size()) != uncompressed_crc) {
      fail(offset, "chunk: the records' CRC does not match the stated one (corrupt chunk)");
    }
    parse_records(records.data(), records.size(), offset, true);
  }

  std::string path_;
  std::map<std::uint16_t, std::string> schemas_;
  std::map<std::uint16_t, Channel> channels_;
  std::vector<Timed> timed_;
};

std::vector<std::uint8_t> read_file(const std::string & path)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw RecordingError(path + ": cannot be read");
  }
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

bool is_mcap_file(const std::string & path)
{
  std::ifstream in(path, std::ios::binary);
  char head[sizeof(kMcapMagic)] = {};
  return in.read(head, sizeof(head)) && std::memcmp(head, kMcapMagic, sizeof(kMcapMagic)) == 0;
}

std::vector<Rosbag2Message> read_mcap(const std::string & path)
{
  const std::vector<std::uint8_t> bytes = read_file(path);
  if (bytes.size() < sizeof(kMcapMagic) || std::memcmp(bytes.data(), kMcapMagic, sizeof(kMcapMagic)) != 0) {
    throw RecordingError(path + ": offset 0: not an MCAP file (no MCAP magic)");
  }
  McapParser parser(path);
  const bool ran_to_end =
    parser.parse_records(bytes.data() + sizeof(kMcapMagic), bytes.size() - sizeof(kMcapMagic), sizeof(kMcapMagic), false);
  if (ran_to_end) {
    throw RecordingError(
            path + ": offset " + std::to_string(bytes.size()) +
            ": the file ends without a Data End or Footer record (truncated file?)");
  }
  return parser.messages();
}

}  // namespace align_tools
