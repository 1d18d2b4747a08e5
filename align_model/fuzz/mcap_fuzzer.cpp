// Fuzzes the MCAP reader: the input is the file after its magic (which the
// fuzzer adds, so that every input reaches the record walker). The whole
// recording is loaded as the replay loads it. Anything but a RecordingError
// is a finding; so is an allocation past the rss limit (a size field that
// is believed).
#include <cstdint>
#include <string>
#include <vector>

#include "align_tools/mcap.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/recording_error.hpp"
#include "temp_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  std::vector<std::uint8_t> file(align_tools::kMcapMagic, align_tools::kMcapMagic + sizeof(align_tools::kMcapMagic));
  file.insert(file.end(), data, data + size);
  const std::string path = align_fuzz::write_scratch_file("input.mcap", file.data(), file.size());
  try {
    align_tools::read_mcap(path);
  } catch (const align_tools::RecordingError &) {
    return 0;
  }
  try {
    align_tools::load_recording(path);
  } catch (const align_tools::RecordingError &) {
  }
  return 0;
}
