#include "align_tools/mcap_compression.hpp"

#if ALIGN_TOOLS_WITH_LZ4
#include <lz4frame.h>
#endif
#if ALIGN_TOOLS_WITH_ZSTD
#include <zstd.h>
#endif

#include <array>
#include <memory>

#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

#if ALIGN_TOOLS_WITH_ZSTD
constexpr bool kWithZstd = true;
#else
constexpr bool kWithZstd = false;
#endif
#if ALIGN_TOOLS_WITH_LZ4
constexpr bool kWithLz4 = true;
#else
constexpr bool kWithLz4 = false;
#endif

[[noreturn]] void missing(const std::string & compression)
{
  throw RecordingError(
          "this build reads no " + compression + "-compressed chunks (lib" + compression +
          " was not found when it was built; install lib" + compression + "-dev and rebuild)");
}

#if ALIGN_TOOLS_WITH_ZSTD
std::vector<std::uint8_t> unzstd(const std::uint8_t * data, std::size_t size, std::uint64_t expected)
{
  std::vector<std::uint8_t> out(static_cast<std::size_t>(expected));
  const std::size_t written = ZSTD_decompress(out.data(), out.size(), data, size);
  if (ZSTD_isError(written)) {
    throw RecordingError(std::string("zstd data does not decompress: ") + ZSTD_getErrorName(written));
  }
  if (written != expected) {
    throw RecordingError(
            "zstd data decompresses to " + std::to_string(written) + " bytes, the chunk states " +
            std::to_string(expected));
  }
  return out;
}

#else
std::vector<std::uint8_t> unzstd(const std::uint8_t *, std::size_t, std::uint64_t) {missing("zstd");}
#endif

#if ALIGN_TOOLS_WITH_LZ4
std::vector<std::uint8_t> unlz4(const std::uint8_t * data, std::size_t size, std::uint64_t expected)
{
  LZ4F_dctx * raw = nullptr;
  if (LZ4F_isError(LZ4F_createDecompressionContext(&raw, LZ4F_VERSION))) {
    throw RecordingError("cannot create an lz4 decompression context");
  }
  const std::unique_ptr<LZ4F_dctx, decltype(&LZ4F_freeDecompressionContext)> context(
    raw, &LZ4F_freeDecompressionContext);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(expected));
  std::size_t in_done = 0;
  std::size_t out_done = 0;
  for (;;) {
    std::size_t in_size = size - in_done;
    std::size_t out_size = out.size() - out_done;
    const std::size_t hint = LZ4F_decompress(
      context.get(), out.data() + out_done, &out_size, data + in_done, &in_size, nullptr);
    if (LZ4F_isError(hint)) {
      throw RecordingError(std::string("lz4 data does not decompress: ") + LZ4F_getErrorName(hint));
    }
    in_done += in_size;
    out_done += out_size;
    if (hint == 0) {
      break;  // the frame is complete
    }
    if (in_size == 0 && out_size == 0) {
      throw RecordingError(
              "lz4 data ends early or unpacks to more than the chunk's stated " + std::to_string(expected) +
              " bytes");
    }
  }
  if (out_done != expected) {
    throw RecordingError(
            "lz4 data decompresses to " + std::to_string(out_done) + " bytes, the chunk states " +
            std::to_string(expected));
  }
  return out;
}
#else
std::vector<std::uint8_t> unlz4(const std::uint8_t *, std::size_t, std::uint64_t) {missing("lz4");}
#endif

}  // namespace

bool mcap_compression_available(const std::string & compression)
{
  if (compression == "zstd") {
    return kWithZstd;
  }
  if (compression == "lz4") {
    return kWithLz4;
  }
  return compression.empty();
}

std::vector<std::uint8_t> decompress_chunk(
  const std::string & compression, const std::uint8_t * data, std::size_t size, std::uint64_t expected)
{
  if (expected > kMaxChunkSize) {
    throw RecordingError(
            "chunk states " + std::to_string(expected) + " uncompressed bytes, more than the " +
            std::to_string(kMaxChunkSize) + " this reader unpacks");
  }
  if (compression.empty()) {
    if (size != expected) {
      throw RecordingError(
              "uncompressed chunk holds " + std::to_string(size) + " bytes of records, states " +
              std::to_string(expected));
    }
    return std::vector<std::uint8_t>(data, data + size);
  }
  if (compression == "zstd") {
    return unzstd(data, size, expected);
  }
  if (compression == "lz4") {
    return unlz4(data, size, expected);
  }
  throw RecordingError("chunk compression '" + compression + "' is not one of none, zstd, lz4");
}

std::vector<std::uint8_t> compress_chunk(const std::string & compression, const std::vector<std::uint8_t> & data)
{
  if (compression.empty()) {
    return data;
  }
  if (!mcap_compression_available(compression) && (compression == "zstd" || compression == "lz4")) {
    missing(compression);
  }
#if ALIGN_TOOLS_WITH_ZSTD
  if (compression == "zstd") {
    std::vector<std::uint8_t> out(ZSTD_compressBound(data.size()));
    const std::size_t written = ZSTD_compress(out.data(), out.size(), data.data(), data.size(), 3);
    if (ZSTD_isError(written)) {
      throw RecordingError(std::string("zstd compression failed: ") + ZSTD_getErrorName(written));
    }
    out.resize(written);
    return out;
  }
#endif
#if ALIGN_TOOLS_WITH_LZ4
  if (compression == "lz4") {
    std::vector<std::uint8_t> out(LZ4F_compressFrameBound(data.size(), nullptr));
    const std::size_t written = LZ4F_compressFrame(out.data(), out.size(), data.data(), data.size(), nullptr);
    if (LZ4F_isError(written)) {
      throw RecordingError(std::string("lz4 compression failed: ") + LZ4F_getErrorName(written));
    }
    out.resize(written);
    return out;
  }
#endif
  throw RecordingError("chunk compression '" + compression + "' is not one of none, zstd, lz4");
}

std::uint32_t mcap_crc32(const std::uint8_t * data, std::size_t size)
{
  // The reflected polynomial 0xEDB88320, a byte at a time through a table.
  static const std::array<std::uint32_t, 256> table = [] {
      std::array<std::uint32_t, 256> entries{};
      for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
          c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        }
        entries[n] = c;
      }
      return entries;
    }();
  std::uint32_t crc = 0xFFFFFFFFU;
  for (std::size_t i = 0; i < size; ++i) {
    crc = table[(crc ^ data[i]) & 0xFFU] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFU;
}

}  // namespace align_tools
