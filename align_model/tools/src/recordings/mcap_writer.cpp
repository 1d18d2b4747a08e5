// write_mcap: the layout rosbag2's MCAP storage writes, for tests, fuzz
// seeds and simulated recordings.
#include <cstring>
#include <fstream>
#include <map>

#include "align_tools/mcap.hpp"
#include "align_tools/mcap_compression.hpp"
#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

using Bytes = std::vector<std::uint8_t>;

void put(Bytes & out, std::uint64_t value, int size)
{
  for (int k = 0; k < size; ++k) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
  }
}

void put_string(Bytes & out, const std::string & text)
{
  put(out, text.size(), 4);
  out.insert(out.end(), text.begin(), text.end());
}

void put_record(Bytes & out, std::uint8_t opcode, const Bytes & content)
{
  out.push_back(opcode);
  put(out, content.size(), 8);
  out.insert(out.end(), content.begin(), content.end());
}

struct TopicIds
{
  std::map<std::string, std::uint16_t> channel;  // by topic
  std::map<std::string, std::uint16_t> schema;  // by type
};

void put_schemas_and_channels(Bytes & out, const std::vector<Rosbag2Topic> & topics, const TopicIds & ids)
{
  for (const auto & [type, id] : ids.schema) {
    Bytes schema;
    put(schema, id, 2);
    put_string(schema, type);
    put_string(schema, "ros2msg");
    put(schema, 0, 4);  // no definition: readers of this file need none
    put_record(out, 0x03, schema);
  }
  for (const auto & topic : topics) {
    Bytes channel;
    put(channel, ids.channel.at(topic.name), 2);
    put(channel, ids.schema.at(topic.type), 2);
    put_string(channel, topic.name);
    put_string(channel, topic.serialization_format);
    Bytes metadata;
    put_string(metadata, "offered_qos_profiles");
    put_string(metadata, topic.offered_qos_profiles);
    put(channel, metadata.size(), 4);
    channel.insert(channel.end(), metadata.begin(), metadata.end());
    put_record(out, 0x04, channel);
  }
}

void put_message(Bytes & out, const Rosbag2Message & message, std::uint16_t channel, std::uint32_t sequence)
{
  Bytes record;
  put(record, channel, 2);
  put(record, sequence, 4);
  put(record, static_cast<std::uint64_t>(message.timestamp), 8);
  put(record, static_cast<std::uint64_t>(message.timestamp), 8);
  record.insert(record.end(), message.data.begin(), message.data.end());
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

ChunkIndex put_chunk(Bytes & out, const Bytes & records, std::uint64_t start, std::uint64_t end, const McapLayout & layout)
{
  const Bytes packed = compress_chunk(layout.compression, records);
  Bytes chunk;
  put(chunk, start, 8);
  put(chunk, end, 8);
  put(chunk, records.size(), 8);
  put(chunk, mcap_crc32(records.data(), records.size()), 4);
  put_string(chunk, layout.compression);
  put(chunk, packed.size(), 8);
  chunk.insert(chunk.end(), packed.begin(), packed.end());
  ChunkIndex index{start, end, out.size(), 0, packed.size(), records.size()};
  put_record(out, 0x06, chunk);
  index.length = out.size() - index.offset;
  return index;
}

void put_summary(
  Bytes & out, const std::vector<Rosbag2Topic> & topics, const std::vector<Rosbag2Message> & messages,
  const TopicIds & ids, const std::vector<ChunkIndex> & chunks, const McapLayout & layout)
{
  put_schemas_and_channels(out, topics, ids);
  Bytes statistics;
  put(statistics, messages.size(), 8);
  put(statistics, ids.schema.size(), 2);
  put(statistics, topics.size(), 4);
  put(statistics, 0, 4);  // attachments
  put(statistics, 0, 4);  // metadata
  put(statistics, chunks.size(), 4);
  put(statistics, messages.empty() ? 0 : static_cast<std::uint64_t>(messages.front().timestamp), 8);
  put(statistics, messages.empty() ? 0 : static_cast<std::uint64_t>(messages.back().timestamp), 8);
  std::map<std::uint16_t, std::uint64_t> counts;
  for (const auto & message : messages) {
    ++counts[ids.channel.at(message.topic)];
  }
  put(statistics, counts.size() * 10, 4);
  for (const auto & [channel, count] : counts) {
    put(statistics, channel, 2);
    put(statistics, count, 8);
  }
  put_record(out, 0x0B, statistics);
  for (const auto & chunk : chunks) {
    Bytes index;
    put(index, chunk.start_time, 8);
    put(index, chunk.end_time, 8);
    put(index, chunk.offset, 8);
    put(index, chunk.length, 8);
    put(index, 0, 4);  // no message indexes
    put(index, 0, 8);
    put_string(index, layout.compression);
    put(index, chunk.compressed_size, 8);
    put(index, chunk.uncompressed_size, 8);
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
  const std::uint8_t magic[8] = {0x89, 'M', 'C', 'A', 'P', '0', '\r', '\n'};
  Bytes out(magic, magic + sizeof(magic));
  Bytes header;
  put_string(header, "ros2");
  put_string(header, "align_tools");
  put_record(out, 0x01, header);

  std::vector<ChunkIndex> chunks;
  Bytes pending;  // the records of the chunk being filled, or the data section itself
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
      pending.clear();
      in_chunk = 0;
    }
  }
  if (layout.chunked && !pending.empty()) {
    const std::uint64_t end = messages.empty() ? 0 : static_cast<std::uint64_t>(messages.back().timestamp);
    chunks.push_back(put_chunk(out, pending, start, end, layout));
  }
  put_record(out, 0x0F, Bytes{0, 0, 0, 0});  // data end, no CRC

  std::uint64_t summary_start = 0;
  if (layout.summary) {
    summary_start = out.size();
    put_summary(out, topics, messages, ids, chunks, layout);
  }
  Bytes footer;
  put(footer, summary_start, 8);
  put(footer, 0, 8);  // no summary offsets
  put(footer, 0, 4);  // no CRC
  put_record(out, 0x02, footer);
  out.insert(out.end(), magic, magic + sizeof(magic));

  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char *>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) {
    throw RecordingError(path + ": cannot be written");
  }
}

}  // namespace align_tools
