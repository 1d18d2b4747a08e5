// write_mcap: the layout rosbag2's MCAP storage writes, for tests, fuzz
// seeds and simulated recordings.
#include <fstream>
#include <map>

#include "align_tools/byte_reader.hpp"
#include "align_tools/mcap.hpp"
#include "align_tools/mcap_compression.hpp"
#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

void put_string(ByteWriter & out, const std::string & text)
{
  out.write_u32(static_cast<std::uint32_t>(text.size()));
  out.write_raw(text.data(), text.size());
}

void put_record(ByteWriter & out, std::uint8_t opcode, const ByteWriter & content)
{
  out.write_u8(opcode);
  out.write_u64(content.bytes().size());
  out.write_raw(content.bytes().data(), content.bytes().size());
}

struct TopicIds
{
  std::map<std::string, std::uint16_t> channel;  // by topic
  std::map<std::string, std::uint16_t> schema;  // by type
};

void put_schemas_and_channels(ByteWriter & out, const std::vector<Rosbag2Topic> & topics, const TopicIds & ids)
{
  for (const auto & [type, id] : ids.schema) {
    ByteWriter schema;
    schema.write_u16(static_cast<std::uint16_t>(id));
    put_string(schema, type);
    put_string(schema, "ros2msg");
    schema.write_u32(static_cast<std::uint32_t>(0));  // no definition: readers of this file need none
    put_record(out, 0x03, schema);
  }
  for (const auto & topic : topics) {
    ByteWriter channel;
    channel.write_u16(static_cast<std::uint16_t>(ids.channel.at(topic.name)));
    channel.write_u16(static_cast<std::uint16_t>(ids.schema.at(topic.type)));
    put_string(channel, topic.name);
    put_string(channel, topic.serialization_format);
    ByteWriter metadata;
    put_string(metadata, "offered_qos_profiles");
    put_string(metadata, topic.offered_qos_profiles);
    channel.write_u32(static_cast<std::uint32_t>(metadata.bytes().size()));
    channel.write_raw(metadata.bytes().data(), metadata.bytes().size());
    put_record(out, 0x04, channel);
  }
}

void put_message(ByteWriter & out, const Rosbag2Message & message, std::uint16_t channel, std::uint32_t sequence)
{
  ByteWriter record;
  record.write_u16(static_cast<std::uint16_t>(channel));
  record.write_u32(static_cast<std::uint32_t>(sequence));
  record.write_u64(static_cast<std::uint64_t>(static_cast<std::uint64_t>(message.timestamp)));
  record.write_u64(static_cast<std::uint64_t>(static_cast<std::uint64_t>(message.timestamp)));
  record.write_raw(message.data.data(), message.data.size());
  put_record(out, 0x05, record);
}

struct ChunkIndex
{
  std::uint64_t start_time = 0;
  std::uint64_t end_time = 0;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  std::uint64_t compressed_size = 0;
  std::uint64_t uncompressed_size = 0;
};

ChunkIndex put_chunk(ByteWriter & out, const ByteWriter & records, std::uint64_t start, std::uint64_t end, const McapLayout & layout)
{
  const std::vector<std::uint8_t> packed = compress_chunk(layout.compression, records.bytes());
  ByteWriter chunk;
  chunk.write_u64(static_cast<std::uint64_t>(start));
  chunk.write_u64(static_cast<std::uint64_t>(end));
  chunk.write_u64(records.bytes().size());
  chunk.write_u32(mcap_crc32(records.bytes().data(), records.bytes().size()));
  put_string(chunk, layout.compression);
  chunk.write_u64(static_cast<std::uint64_t>(packed.size()));
  chunk.write_raw(packed.data(), packed.size());
  ChunkIndex index{start, end, out.bytes().size(), 0, packed.size(), records.bytes().size()};
  put_record(out, 0x06, chunk);
  index.length = out.bytes().size() - index.offset;
  return index;
}

void put_summary(
  ByteWriter & out, const std::vector<Rosbag2Topic> & topics, const std::vector<Rosbag2Message> & messages,
  const TopicIds & ids, const std::vector<ChunkIndex> & chunks, const McapLayout & layout)
{
  put_schemas_and_channels(out, topics, ids);
  ByteWriter statistics;
  statistics.write_u64(static_cast<std::uint64_t>(messages.size()));
  statistics.write_u16(static_cast<std::uint16_t>(ids.schema.size()));
  statistics.write_u32(static_cast<std::uint32_t>(topics.size()));
  statistics.write_u32(static_cast<std::uint32_t>(0));  // attachments
  statistics.write_u32(static_cast<std::uint32_t>(0));  // metadata
  statistics.write_u32(static_cast<std::uint32_t>(chunks.size()));
  statistics.write_u64(static_cast<std::uint64_t>(messages.empty() ? 0 : static_cast<std::uint64_t>(messages.front().timestamp)));
  statistics.write_u64(static_cast<std::uint64_t>(messages.empty() ? 0 : static_cast<std::uint64_t>(messages.back().timestamp)));
  std::map<std::uint16_t, std::uint64_t> counts;
  for (const auto & message : messages) {
    ++counts[ids.channel.at(message.topic)];
  }
  statistics.write_u32(static_cast<std::uint32_t>(counts.size() * 10));
  for (const auto & [channel, count] : counts) {
    statistics.write_u16(static_cast<std::uint16_t>(channel));
    statistics.write_u64(static_cast<std::uint64_t>(count));
  }
  put_record(out, 0x0B, statistics);
  for (const auto & chunk : chunks) {
    ByteWriter index;
    index.write_u64(static_cast<std::uint64_t>(chunk.start_time));
    index.write_u64(static_cast<std::uint64_t>(chunk.end_time));
    index.write_u64(static_cast<std::uint64_t>(chunk.offset));
    index.write_u64(static_cast<std::uint64_t>(chunk.length));
    index.write_u32(static_cast<std::uint32_t>(0));  // no message indexes
    index.write_u64(static_cast<std::uint64_t>(0));
    put_string(index, layout.compression);
    index.write_u64(static_cast<std::uint64_t>(chunk.compressed_size));
    index.write_u64(static_cast<std::uint64_t>(chunk.uncompressed_size));
    put_record(out, 0x08, index);
  }
}

}  // namespace

void write_mcap(
  const std::string & path, const std::vector<Rosbag2Topic> & topics, const std::vector<Rosbag2Message> & messages,
  const McapLayout & layout)
{
  TopicIds ids;
  for (const auto & topic : topics) {
    ids.schema.emplace(topic.type, static_cast<std::uint16_t>(ids.schema.size() + 1));
    ids.channel.emplace(topic.name, static_cast<std::uint16_t>(ids.channel.size() + 1));
  }
  ByteWriter out;
  out.write_raw(kMcapMagic, sizeof(kMcapMagic));
  ByteWriter header;
  put_string(header, "ros2");
  put_string(header, "align_tools");
  put_record(out, 0x01, header);

  std::vector<ChunkIndex> chunks;
  ByteWriter pending;  // the records of the chunk being filled, or the data section itself
  put_schemas_and_channels(layout.chunked ? pending : out, topics, ids);
  std::uint64_t start = messages.empty() ? 0 : static_cast<std::uint64_t>(messages.front().timestamp);
  std::size_t in_chunk = 0;
  std::map<std::uint16_t, std::uint32_t> sequence;
  for (const auto & message : messages) {
    const auto channel = ids.channel.find(message.topic);
    if (channel == ids.channel.end()) {
      throw RecordingError(path + ": message on unlisted topic '" + message.topic + "'");
    }
    if (in_chunk == 0) {
      start = static_cast<std::uint64_t>(message.timestamp);
    }
    put_message(layout.chunked ? pending : out, message, channel->second, sequence[channel->second]++);
    if (layout.chunked && ++in_chunk == layout.messages_per_chunk) {
      chunks.push_back(put_chunk(out, pending, start, static_cast<std::uint64_t>(message.timestamp), layout));
      pending = ByteWriter();
      in_chunk = 0;
    }
  }
  if (layout.chunked && !pending.bytes().empty()) {
    const std::uint64_t end = messages.empty() ? 0 : static_cast<std::uint64_t>(messages.back().timestamp);
    chunks.push_back(put_chunk(out, pending, start, end, layout));
  }
  ByteWriter data_end;
  data_end.write_u32(0);  // no CRC
  put_record(out, 0x0F, data_end);

  std::uint64_t summary_start = 0;
  if (layout.summary) {
    summary_start = out.bytes().size();
    put_summary(out, topics, messages, ids, chunks, layout);
  }
  ByteWriter footer;
  footer.write_u64(static_cast<std::uint64_t>(summary_start));
  footer.write_u64(static_cast<std::uint64_t>(0));  // no summary offsets
  footer.write_u32(static_cast<std::uint32_t>(0));  // no CRC
  put_record(out, 0x02, footer);
  out.write_raw(kMcapMagic, sizeof(kMcapMagic));

  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char *>(out.bytes().data()), static_cast<std::streamsize>(out.bytes().size()));
  if (!file) {
    throw RecordingError(path + ": cannot be written");
  }
}

}  // namespace align_tools
