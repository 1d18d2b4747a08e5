// Runs the align_replay program itself: what reaches stdout and stderr.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "align_tools/recording.hpp"
#include "align_tools/scan_yaml.hpp"
#include "support/bundled_files.hpp"

namespace fs = std::filesystem;

namespace
{

using align_test::kBundledData;
using align_test::read_text;

std::vector<std::string> lines_of(const std::string & text)
{
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line); ) {
    lines.push_back(line);
  }
  return lines;
}

TEST(ReplayProgram, RunsWithoutSecurityInAShellSetUpForSecurity)
{
  const std::string base = (fs::temp_directory_path() / ("align_replay_secured_" + std::to_string(::getpid()))).string();
  const std::string command =
    "ROS_SECURITY_ENABLE=true ROS_SECURITY_STRATEGY=Enforce ROS_SECURITY_KEYSTORE=" + base + ".missing " +
    std::string(ALIGN_REPLAY_BINARY) + " --node line " + kBundledData + "/docking_approach" +
    " --ros-args --params-file " + kBundledData + "/docking_approach.params.yaml" +
    " >" + base + ".out 2>" + base + ".err";
  const int status = std::system(command.c_str());
  const std::string out = read_text(base + ".out");
  const std::string err = read_text(base + ".err");
  fs::remove(base + ".out");
  fs::remove(base + ".err");
  ASSERT_TRUE(WIFEXITED(status)) << err;
  EXPECT_EQ(WEXITSTATUS(status), 0) << err;
  EXPECT_NE(out.find("geometry_msgs/msg/PoseStamped"), std::string::npos) << err;
}

TEST(ReplayProgram, UnevenIntensitiesAreReplayedWithOneNoteOnStderr)
{
  auto scans = align_tools::load_recording(kBundledData + "/docking_approach").scans;
  scans.resize(5);
  scans[1].intensities.resize(scans[1].ranges.size() + 3, 252.0f);
  scans[2].intensities.resize(6);
  const std::string base = (fs::temp_directory_path() / ("align_replay_program_" + std::to_string(::getpid()))).string();
  {
    std::ofstream out(base + ".yaml");
    for (const auto & scan : scans) {
      align_tools::write_scan_yaml(out, scan);
    }
  }
  const std::string command = std::string(ALIGN_REPLAY_BINARY) + " --node line " + base + ".yaml" +
    " --ros-args --params-file " + kBundledData + "/docking_approach.params.yaml" +
    " >" + base + ".out 2>" + base + ".err";
  const int status = std::system(command.c_str());
  const std::string out = read_text(base + ".out");
  const std::string err = read_text(base + ".err");
  for (const char * suffix : {".yaml", ".out", ".err"}) {
    fs::remove(base + suffix);
  }
  ASSERT_TRUE(WIFEXITED(status)) << err;
  EXPECT_EQ(WEXITSTATUS(status), 0) << err;

  // stdout: published messages only, poses among them.
  const auto out_lines = lines_of(out);
  ASSERT_FALSE(out_lines.empty()) << err;
  for (const auto & line : out_lines) {
    EXPECT_EQ(line.rfind("{\"scan\": ", 0), 0u) << line;
  }
  EXPECT_NE(out.find("geometry_msgs/msg/PoseStamped"), std::string::npos) << out;

  // stderr: one note for the two uneven scans, naming the first.
  std::size_t notes = 0;
  for (const auto & line : lines_of(err)) {
    if (line.rfind("note: ", 0) == 0 && line.find("intensities of another length") != std::string::npos) {
      ++notes;
      EXPECT_NE(line.find("2 scans have"), std::string::npos) << line;
      EXPECT_NE(line.find("scan 1 "), std::string::npos) << line;
    }
  }
  EXPECT_EQ(notes, 1u) << err;
  EXPECT_EQ(err.find("error"), std::string::npos) << err;
}

}  // namespace
