// The recorded real scans are third-party files kept beside the repository
// (../shared/data/real), not in it. Tests that read them skip with a message
// when the folder is absent, so a plain clone passes; with
// ALIGN_MODEL_REQUIRE_REAL_DATA set in the environment (as CI does) the same
// absence fails them instead.
#ifndef ALIGN_MODEL_TEST__REAL_DATA_HPP_
#define ALIGN_MODEL_TEST__REAL_DATA_HPP_

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace align_test
{

// The folder given by the CMake cache variable ALIGN_MODEL_REAL_DATA_DIR.
inline std::string real_data_dir()
{
  return ALIGN_MODEL_REAL_DATA_DIR;
}

// Empty when the folder exists; otherwise why the test cannot run.
inline std::string missing_real_data()
{
  std::error_code error;
  if (std::filesystem::is_directory(real_data_dir(), error)) {
    return "";
  }
  return "the recorded real scans are not in " + real_data_dir() +
         " (set the CMake cache variable ALIGN_MODEL_REAL_DATA_DIR to their folder)";
}

inline bool real_data_required()
{
  const char * value = std::getenv("ALIGN_MODEL_REQUIRE_REAL_DATA");
  return value != nullptr && value[0] != '\0' && std::string(value) != "0";
}

}  // namespace align_test

// Ends the calling test early when the recorded real scans are absent:
// skipped normally, failed when they are required.
#define ALIGN_TEST_NEEDS_REAL_DATA() \
  do { \
    const std::string align_test_missing = align_test::missing_real_data(); \
    if (!align_test_missing.empty()) { \
      if (align_test::real_data_required()) { \
        FAIL() << align_test_missing << "; ALIGN_MODEL_REQUIRE_REAL_DATA is set"; \
      } \
      GTEST_SKIP() << align_test_missing; \
    } \
  } while (false)

#endif  // ALIGN_MODEL_TEST__REAL_DATA_HPP_
