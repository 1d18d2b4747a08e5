// MCAP, the storage of `ros2 bag record` since Iron (and so Jazzy's
// default): a magic, a sequence of records (opcode, 64-bit length, content),
// messages either loose or in chunks that may be compressed with zstd or
// lz4, an optional summary section and a footer. Read and written here
// from the format's public description; only what a ROS 2 bag of CDR
// messages uses.
#ifndef ALIGN_TOOLS__MCAP_HPP_
#define ALIGN_TOOLS__MCAP_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "align_tools/rosbag2_sqlite.hpp"

namespace align_tools
{

// The eight bytes an MCAP file starts and ends with.
inline constexpr std::uint8_t kMcapMagic[8] = {0x89, 'M', 'C', 'A', 'P', '0', '\r', '\n'};

// True when the file starts with the MCAP magic.
bool is_mcap_file(const std::string & path);

// The messages of one MCAP file, in playing order (log time, then the order
// in the file), with their channels' topics and schema names as types.
// Reads the data section whether or not a summary follows; chunks in no
// compression, zstd or lz4 (frame format). Throws RecordingError naming the
// file and the byte offset for anything it cannot use: a bad magic, a
// record that runs past the end (a truncated file), a chunk that does not
// decompress to its stated size or CRC, a message of an unknown channel, a
// channel whose messages are not CDR.
std::vector<Rosbag2Message> read_mcap(const std::string & path);

// How write_mcap lays the file out.
struct McapLayout
{
  bool chunked = true;
  std::string compression;  // "", "zstd" or "lz4"
  std::size_t messages_per_chunk = 50;
  bool summary = true;  // summary section with schemas, channels, statistics and chunk indexes
};

// A ROS 2 bag file as rosbag2's MCAP storage writes one (profile "ros2",
// schemas in ros2msg with empty definitions, CDR messages, the topic's QoS
// in the channel metadata); for tests, fuzz seeds and the simulator.
void write_mcap(
  const std::string & path, const std::vector<Rosbag2Topic> & topics, const std::vector<Rosbag2Message> & messages,
  const McapLayout & layout = McapLayout());

}  // namespace align_tools

#endif  // ALIGN_TOOLS__MCAP_HPP_
