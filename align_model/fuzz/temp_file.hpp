// A scratch folder per fuzzer process for the readers that take a path;
// removed at exit.
#ifndef ALIGN_MODEL_FUZZ__TEMP_FILE_HPP_
#define ALIGN_MODEL_FUZZ__TEMP_FILE_HPP_

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace align_fuzz
{

// $TMPDIR (scripts/fuzz points it at a memory file system when there is
// one), else /tmp.
inline const std::string & scratch_folder()
{
  // Never destroyed, so that the exit handler below can still read it.
  static const std::string & folder = *new std::string([] {
        const char * base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/align_fuzz_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
          std::perror("mkdtemp");
          std::abort();
        }
        return pattern;
      }());
  static const bool cleanup_registered = [] {
      std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(scratch_folder(), ignored);
      });
      return true;
    }();
  (void)cleanup_registered;
  return folder;
}

inline std::string write_scratch_file(const std::string & name, const std::uint8_t * data, std::size_t size)
{
  const std::string path = scratch_folder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::abort();
  }
  return path;
}

}  // namespace align_fuzz

#endif  // ALIGN_MODEL_FUZZ__TEMP_FILE_HPP_
