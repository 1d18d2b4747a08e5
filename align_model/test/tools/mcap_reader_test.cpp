// The MCAP reader: every layout rosbag2's MCAP storage writes gives the same
// scans and the same replay as the sqlite3 bag of the same messages, and a
// damaged file gives one error naming the file and the offset.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../support/bundled_files.hpp"
#include "align_tools/mcap.hpp"
#include "align_tools/mcap_compression.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/recording_error.hpp"
#include "align_tools/replay.hpp"
#include "align_tools/rosbag2_sqlite.hpp"
#include "align_tools/simulated_recording.hpp"

namespace
{

namespace fs = std::filesystem;

const std::string kBundledBag = align_test::kBundledData + "/docking_approach";

std::vector<align_tools::Rosbag2Topic> scan_topic()
{
  return {{"/back_scan", "sensor_msgs/msg/LaserScan", "cdr", align_tools::default_qos_profiles(false)}};
}

class McapFiles : public ::testing::Test
{
protected:
  void SetUp() override
  {
    folder_ = fs::temp_directory_path() / ("align_mcap_test." + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    messages_ = align_tools::read_rosbag2(kBundledBag);
  }
  void TearDown() override {fs::remove_all(folder_);}

  std::string write(const std::string & name, const align_tools::McapLayout & layout)
  {
    const std::string path = (folder_ / name).string();
    align_tools::write_mcap(path, scan_topic(), messages_, layout);
    return path;
  }

  std::vector<std::uint8_t> bytes_of(const std::string & path)
  {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  void write_bytes(const std::string & path, const std::vector<std::uint8_t> & bytes)
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  // The error reading `path` gives, or "" when it reads.
  static std::string error_of(const std::string & path)
  {
    try {
      align_tools::read_mcap(path);
    } catch (const align_tools::RecordingError & error) {
      return error.what();
    }
    return "";
  }

  fs::path folder_;
  std::vector<align_tools::Rosbag2Message> messages_;
};

TEST_F(McapFiles, EveryLayoutGivesTheMessagesOfTheSqliteBag)
{
  ASSERT_EQ(messages_.size(), 40u);
  for (const std::string compression : {"", "zstd", "lz4"}) {
    if (!align_tools::mcap_compression_available(compression)) {
      ADD_FAILURE() << "this build has no " << compression << " support (install its -dev package)";
      continue;
    }
    for (const bool chunked : {false, true}) {
      for (const bool summary : {false, true}) {
        if (!chunked && !compression.empty()) {
          continue;
        }
        SCOPED_TRACE(compression + (chunked ? " chunked" : " loose") + (summary ? " with summary" : ""));
        align_tools::McapLayout layout;
        layout.compression = compression;
        layout.chunked = chunked;
        layout.summary = summary;
        layout.messages_per_chunk = 7;
        const std::string path = write("bag.mcap", layout);
        EXPECT_TRUE(align_tools::is_mcap_file(path));
        const auto read = align_tools::read_mcap(path);
        ASSERT_EQ(read.size(), messages_.size());
        for (std::size_t k = 0; k < read.size(); ++k) {
          EXPECT_EQ(read[k].topic, "/back_scan");
          EXPECT_EQ(read[k].type, "sensor_msgs/msg/LaserScan");
          EXPECT_EQ(read[k].timestamp, messages_[k].timestamp);
          EXPECT_EQ(read[k].data, messages_[k].data);
        }
      }
    }
  }
}

TEST_F(McapFiles, ABagFolderOfMcapStorageReplaysAsTheSqliteBag)
{
  // The layout `ros2 bag record` writes on Jazzy: a folder with
  // metadata.yaml (storage mcap) and <folder>_0.mcap, zstd chunks.
  align_tools::McapLayout layout;
  layout.compression = align_tools::mcap_compression_available("zstd") ? "zstd" : "";
  const fs::path bag = folder_ / "approach";
  fs::create_directories(bag);
  align_tools::write_mcap((bag / "approach_0.mcap").string(), scan_topic(), messages_, layout);
  std::ofstream(bag / "metadata.yaml") <<
    "rosbag2_bagfile_information:\n  version: 8\n  storage_identifier: mcap\n"
    "  relative_file_paths:\n    - approach_0.mcap\n";

  const auto from_mcap = align_tools::load_recording(bag.string());
  const auto from_sqlite = align_tools::load_recording(kBundledBag);
  EXPECT_EQ(from_mcap.format, align_tools::RecordingFormat::kRosbag2);
  EXPECT_EQ(from_mcap.topic, "/back_scan");
  ASSERT_EQ(from_mcap.scans.size(), from_sqlite.scans.size());
  // A bare .mcap file reads too.
  EXPECT_EQ(align_tools::load_recording((bag / "approach_0.mcap").string()).scans.size(), 40u);

  align_tools::ReplaySettings settings;
  settings.node = align_tools::NodeKind::kLine;
  settings.laser_mount = align_tools::Pose2D{-0.102, 0.0, 3.141592653589793};
  const auto a = align_tools::replay_recording(from_mcap, settings);
  const auto b = align_tools::replay_recording(from_sqlite, settings);
  EXPECT_EQ(align_tools::published_json_lines(a), align_tools::published_json_lines(b));
  EXPECT_FALSE(align_tools::published_json_lines(a).empty());
}

TEST_F(McapFiles, TheSimulatorWritesBothStoragesAlike)
{
  align_tools::SimulationConfig config;
  align_tools::ApproachPlan plan;
  plan.from = {1.2, 0.05, 3.0};
  plan.to = {0.6, 0.0, 3.1};
  plan.scans = 5;
  const auto simulated = align_tools::simulate_approach(config, plan);
  const std::string mcap = (folder_ / "simulated.mcap").string();
  const std::string sqlite = (folder_ / "simulated").string();
  align_tools::write_simulated_mcap(mcap, "/back_scan", simulated, true, "base_footprint");
  align_tools::write_simulated_bag(sqlite, "/back_scan", simulated, true, "base_footprint");
  const auto a = align_tools::load_recording(mcap);
  const auto b = align_tools::load_recording(sqlite);
  ASSERT_EQ(a.scans.size(), 5u);
  ASSERT_EQ(a.static_transforms.size(), 1u);
  EXPECT_EQ(a.static_transforms[0].child_frame_id, b.static_transforms[0].child_frame_id);
  for (std::size_t k = 0; k < a.scans.size(); ++k) {
    EXPECT_EQ(a.scans[k].ranges, b.scans[k].ranges);
    EXPECT_EQ(a.scans[k].intensities, b.scans[k].intensities);
  }
}

TEST_F(McapFiles, DamageGivesOneErrorNamingTheFileAndTheOffset)
{
  align_tools::McapLayout layout;
  layout.compression = "";
  layout.messages_per_chunk = 10;
  const std::string path = write("bag.mcap", layout);
  const auto bytes = bytes_of(path);

  // Cut anywhere inside the data section: always an error, never a crash.
  const std::string cut = (folder_ / "cut.mcap").string();
  for (std::size_t length : {std::size_t{4}, std::size_t{12}, std::size_t{40}, bytes.size() / 3, bytes.size() / 2}) {
    SCOPED_TRACE(length);
    write_bytes(cut, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)));
    const std::string error = error_of(cut);
    EXPECT_EQ(error.rfind(cut + ": offset ", 0), 0u) << error;
  }
  write_bytes(cut, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2)));
  EXPECT_NE(error_of(cut).find("truncated file?"), std::string::npos) << error_of(cut);

  // One flipped byte inside the first chunk's records: the CRC says so.
  auto flipped = bytes;
  const std::size_t chunk = [&bytes]() {
      for (std::size_t k = 8; k + 9 < bytes.size(); ) {
        std::uint64_t length = 0;
        for (int b = 7; b >= 0; --b) {
          length = (length << 8) | bytes[k + 1 + static_cast<std::size_t>(b)];
        }
        if (bytes[k] == 0x06) {
          return k;
        }
        k += 9 + static_cast<std::size_t>(length);
      }
      return std::size_t{0};
    }();
  ASSERT_GT(chunk, 0u);
  flipped[chunk + 200] ^= 0x40;
  write_bytes(cut, flipped);
  EXPECT_EQ(error_of(cut), cut + ": offset " + std::to_string(chunk) +
    ": chunk: the records' CRC does not match the stated one (corrupt chunk)");

  // Not MCAP at all.
  write_bytes(cut, std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  EXPECT_EQ(error_of(cut), cut + ": offset 0: not an MCAP file (no MCAP magic)");
}

TEST_F(McapFiles, MessagesThatAreNotCdrAreRefusedByName)
{
  auto topics = scan_topic();
  topics[0].serialization_format = "json";
  const std::string path = (folder_ / "json.mcap").string();
  align_tools::write_mcap(path, topics, messages_, align_tools::McapLayout());
  const std::string error = error_of(path);
  EXPECT_NE(error.find("message on /back_scan in 'json' encoding; only CDR (ROS 2) messages can be read"),
    std::string::npos) << error;
}

TEST(McapCompression, CorruptOrUnknownChunksAreRefused)
{
  const std::vector<std::uint8_t> records(1000, 7);
  for (const std::string compression : {"zstd", "lz4"}) {
    if (!align_tools::mcap_compression_available(compression)) {
      continue;
    }
    SCOPED_TRACE(compression);
    auto packed = align_tools::compress_chunk(compression, records);
    EXPECT_EQ(align_tools::decompress_chunk(compression, packed.data(), packed.size(), records.size()), records);
    // The stated size disagrees.
    EXPECT_THROW(
      align_tools::decompress_chunk(compression, packed.data(), packed.size(), records.size() + 1),
      align_tools::RecordingError);
    // Cut short.
    EXPECT_THROW(
      align_tools::decompress_chunk(compression, packed.data(), packed.size() / 2, records.size()),
      align_tools::RecordingError);
  }
  EXPECT_THROW(align_tools::decompress_chunk("bz2", records.data(), records.size(), 1000), align_tools::RecordingError);
  // The standard check value of CRC-32.
  const std::string check = "123456789";
  EXPECT_EQ(align_tools::mcap_crc32(reinterpret_cast<const std::uint8_t *>(check.data()), check.size()), 0xCBF43926U);
  // A size field of a corrupt chunk must not ask for gigabytes.
  try {
    align_tools::decompress_chunk("", records.data(), records.size(), 1ULL << 40);
    FAIL() << "no error";
  } catch (const align_tools::RecordingError & error) {
    EXPECT_NE(std::string(error.what()).find("more than the"), std::string::npos) << error.what();
  }
}

}  // namespace
