// The chunk compressions of MCAP: zstd (a zstd frame) and lz4 (an LZ4 frame).
#ifndef ALIGN_TOOLS__MCAP_COMPRESSION_HPP_
#define ALIGN_TOOLS__MCAP_COMPRESSION_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace align_tools
{

// The largest chunk the reader will unpack: rosbag2 writes chunks of under
// a megabyte, and a corrupt size field must not ask for gigabytes.
constexpr std::uint64_t kMaxChunkSize = 256ULL * 1024 * 1024;

// Unpacks `size` bytes into exactly `expected` bytes; throws RecordingError
// (without a file name: the caller adds where) when the compression is
// unknown, the data is corrupt or the result has another size.
std::vector<std::uint8_t> decompress_chunk(
  const std::string & compression, const std::uint8_t * data, std::size_t size, std::uint64_t expected);

// Whether this build reads (and writes) chunks of that compression ("" is
// always available).
bool mcap_compression_available(const std::string & compression);

std::vector<std::uint8_t> compress_chunk(const std::string & compression, const std::vector<std::uint8_t> & data);

// The CRC-32 MCAP uses (that of zlib and PNG; "123456789" gives 0xCBF43926).
std::uint32_t mcap_crc32(const std::uint8_t * data, std::size_t size);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__MCAP_COMPRESSION_HPP_
