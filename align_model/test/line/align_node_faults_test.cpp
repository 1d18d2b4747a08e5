// Faults around align_node: parameters changed from another thread while
// scans flow, and signals in the middle of a scan.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "line_test_support.hpp"
#include "program/run_node_program.hpp"
#include "support/program_under_signal.hpp"

namespace
{

using align_line_test::process_scan;
using align_node::AlignNode;
using geometry_msgs::msg::PoseStamped;
using visualization_msgs::msg::Marker;
using Clock = std::chrono::steady_clock;

// --- parameters changed while scans flow -------------------------------------

// Publishes a scan every 10 ms and spins, on the calling thread, for `span`.
void feed_scans(
  align_test::NodeHarness & harness, const sensor_msgs::msg::LaserScan & scan, std::chrono::milliseconds span)
{
  const Clock::time_point end = Clock::now() + span;
  while (Clock::now() < end) {
    harness.publish("back_scan", scan);
    for (int i = 0; i < 5; ++i) {
      harness.executor().spin_some();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  harness.spin();
}

TEST(AlignNodeRuntimeParameterFaults, ChangesFromAnotherThreadArePickedUpWhole)
{
  // Without parameter services in the stand-in, another node's
  // set_parameters call is played by the parameter API called from a second
  // thread: on a real installation that call lands on the executor thread,
  // here it may come at any instant, the harder case.
  align_line_test::enable_debug_logging();
  align_test::LogCapture log;
  align_test::NodeHarness harness;
  const double mount_a = -0.102;
  const double mount_b = 0.398;
  auto node = harness.start<AlignNode>(align_line_test::plate_overrides({{"laser_to_base_x", mount_a}}));
  auto poses = harness.record<PoseStamped>("docking_pose");
  auto markers = harness.record<Marker>("align_marker");
  const auto scan = align_line_test::make_v_target_scan();

  ASSERT_TRUE(process_scan(harness, log, scan));
  ASSERT_TRUE(harness.spin_until([&] {return poses->size() == 1;}));
  const double x_a = poses->front().message->pose.position.x;
  const double y = poses->front().message->pose.position.y;

  // The writer flips the mount, the debug switch and harmless re-sets of
  // other parameters as fast as it can while the scans flow.
  std::atomic<bool> stop{false};
  std::atomic<int> writes{0};
  std::thread writer([&] {
      bool flip = false;
      while (!stop.load()) {
        flip = !flip;
        const auto results = node->set_parameters(
          {{"laser_to_base_x", flip ? mount_b : mount_a}, {"debug", flip}, {"target_angle", 1.047},
            {"min_intensity", 250.0}, {"min_points_per_line", 5}});
        for (const auto & result : results) {
          if (!result.successful) {
            return;
          }
        }
        ++writes;
        std::this_thread::sleep_for(std::chrono::microseconds(300));
      }
    });
  feed_scans(harness, scan, std::chrono::milliseconds(2100));
  stop.store(true);
  writer.join();
  EXPECT_GT(writes.load(), 100);

  // Every pose used one of the two mounts, never anything in between. Which
  // one each refresh caught depends on the instant; the phases below check
  // that new values are followed.
  for (const auto & pose : *poses) {
    const double x = pose.message->pose.position.x;
    EXPECT_NEAR(pose.message->pose.position.y, y, 1e-6);
    if (std::fabs(x - x_a) >= 1e-6) {
      EXPECT_NEAR(x, x_a + (mount_b - mount_a), 1e-6);
    }
  }
  EXPECT_GE(poses->size(), 50u);

  // Final values from the other thread; the next refresh takes them.
  std::thread([&] {
      node->set_parameters({{"laser_to_base_x", mount_b}, {"debug", true}});
    }).join();
  feed_scans(harness, scan, std::chrono::milliseconds(1100));
  poses->clear();
  markers->clear();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(process_scan(harness, log, scan));
  }
  ASSERT_TRUE(harness.spin_until([&] {return poses->size() == 3 && markers->size() == 6;}));
  for (const auto & pose : *poses) {
    EXPECT_NEAR(pose.message->pose.position.x, x_a + (mount_b - mount_a), 1e-6);
  }

  // A target angle the plates do not have: no pose after the next refresh.
  std::thread([&] {node->set_parameters({{"target_angle", 2.5}});}).join();
  feed_scans(harness, scan, std::chrono::milliseconds(1100));
  poses->clear();
  log.clear();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(process_scan(harness, log, scan));
  }
  EXPECT_EQ(log.count("Do not find target feature.", RCUTILS_LOG_SEVERITY_DEBUG), 3u);
  EXPECT_TRUE(poses->empty());
}

// --- signals in the middle of a scan -------------------------------------------

int run_line_program(int argc, char ** argv)
{
  return align_program::run_node_program<AlignNode>(argc, argv, "align_node");
}

class AlignProgramSignal : public ::testing::TestWithParam<int> {};

TEST_P(AlignProgramSignal, DuringAScanEndsTheProgramCleanly)
{
  // The trigger is the window line; segments, the target search and the
  // pose publication run after the context has been shut down.
  align_test::ProgramUnderSignal program("align_node", "SOURCE_SCAN_DATA lens ");
  const align_test::SignalRunResult result = program.run(
    run_line_program,
    {"align_node", "--ros-args", "-p", "min_line_len:=0.15", "-p", "max_line_len:=0.45", "-p", "debug:=true",
      "--log-level", "align_node:=debug"},
    align_line_test::make_v_target_scan(), "back_scan", GetParam());

  ASSERT_TRUE(result.program_started);
  EXPECT_TRUE(result.handlers_installed);
  ASSERT_TRUE(result.trigger_seen);
  EXPECT_TRUE(result.context_shut_down_by_signal);
  ASSERT_TRUE(result.program_returned);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_FALSE(rclcpp::ok());
  ASSERT_FALSE(result.lines_after_trigger.empty());
  EXPECT_EQ(result.lines_after_trigger.back().rfind("TARGET_POSE: [x: ", 0), 0u)
    << result.lines_after_trigger.back();
}

INSTANTIATE_TEST_SUITE_P(
  , AlignProgramSignal, ::testing::Values(SIGINT, SIGTERM),
  [](const ::testing::TestParamInfo<int> & info) {return std::string(info.param == SIGINT ? "Sigint" : "Sigterm");});

// --- the program binary and SIGTERM ----------------------------------------------

TEST(AlignProgramBinary, EndsWithStatusZeroOnSigtermWhileItsRefreshTimerRuns)
{
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(ends[1], STDOUT_FILENO);
    dup2(ends[1], STDERR_FILENO);
    close(ends[0]);
    close(ends[1]);
    execl(ALIGN_NODE_BINARY, ALIGN_NODE_BINARY, static_cast<char *>(nullptr));
    _exit(127);
  }
  close(ends[1]);
  std::string output;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
  while (output.find("Enable signal default to TRUE when test.") == std::string::npos && Clock::now() < deadline) {
    pollfd descriptor{ends[0], POLLIN, 0};
    if (poll(&descriptor, 1, 50) > 0) {
      char buffer[1024];
      const ssize_t count = read(ends[0], buffer, sizeof(buffer));
      if (count <= 0) {
        break;
      }
      output.append(buffer, static_cast<std::size_t>(count));
    }
  }
  // Past at least one parameter refresh.
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  kill(pid, SIGTERM);
  int status = 0;
  bool exited = false;
  while (Clock::now() < deadline + std::chrono::seconds(20)) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      exited = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!exited) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  close(ends[0]);
  ASSERT_TRUE(exited) << output;
  ASSERT_TRUE(WIFEXITED(status)) << output;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(output.find("Enable signal default to TRUE when test."), std::string::npos) << output;
}

}  // namespace
