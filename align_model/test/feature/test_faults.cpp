// Faults around align_feature_node: the node destroyed while its frame
// listener's worker runs, signals in the middle of a scan, and the minimum
// lifetime of the worker's transform listener.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"
#include "program/run_node_program.hpp"
#include "support/program_under_signal.hpp"

namespace
{

using align_model::FeatureNode;
using align_model::StaticFrameListener;
using Clock = std::chrono::steady_clock;

constexpr char kLaserFrame[] = "rear_laser";

// A full-turn scan from a laser at the origin of its own frame with the V
// behind it, opening towards the laser: with publish_frame equal to the scan
// frame the first lookup succeeds at once and the target is found.
sensor_msgs::msg::LaserScan own_frame_target_scan()
{
  feature_test::LaserMount identity;
  identity.x = 0.0;
  identity.y = 0.0;
  identity.yaw = 0.0;
  feature_test::ScanGeometry geometry;
  geometry.angle_min = static_cast<float>(-M_PI);
  geometry.readings = 1440;
  const feature_test::VTarget target = feature_test::target_on_beam(identity, geometry, 0, 0.7, 0.0);
  return feature_test::make_target_scan(identity, target, kLaserFrame, geometry);
}

// --- node destroyed while its worker runs --------------------------------------

TEST(FeatureNodeFaults, DestroyedWhileItsFrameListenerWorkerRunsTwoHundredTimes)
{
  // Keeps the 200 start-up lines out of the test output.
  align_test::LogCapture quiet;
  align_test::NodeHarness harness;
  const auto unknown_frame = feature_test::make_empty_scan("frame_nobody_publishes");
  const auto own_frame = feature_test::make_empty_scan(kLaserFrame);
  for (int i = 0; i < 200; ++i) {
    SCOPED_TRACE(i);
    // Four moments of destruction: right after the scan started the worker
    // (the thread may not have run yet), once the worker is known to run,
    // while a worker whose lookup succeeded at once keeps its transform
    // listener for the minimum lifetime, and after a short varying delay.
    const int moment = i % 4;
    std::vector<rclcpp::Parameter> overrides;
    if (moment == 2) {
      overrides.emplace_back("publish_frame", kLaserFrame);
    }
    auto node = harness.start<FeatureNode>(overrides);
    harness.publish("back_scan", moment == 2 ? own_frame : unknown_frame);
    ASSERT_TRUE(harness.spin_until([&] {return node->frame_listener()->worker_starts() == 1;}));
    if (moment == 1) {
      ASSERT_TRUE(harness.spin_until([&] {return node->frame_listener()->is_worker_running();}));
    } else if (moment == 2) {
      ASSERT_TRUE(harness.spin_until([&] {return node->frame_listener()->is_stored(kLaserFrame, kLaserFrame);}));
    } else if (moment == 3) {
      std::this_thread::sleep_for(std::chrono::milliseconds(i % 7));
    }
    harness.release_node();
    node.reset();
  }
  // Each worker gives up at its next step once its node is gone.
  EXPECT_TRUE(StaticFrameListener::wait_for_workers(std::chrono::seconds(10)));
}

// --- minimum lifetime of the worker's transform listener ------------------------

// One observation of the worker's transform listener through the graph: its
// subscription to /tf_static exists exactly while the listener does (it is
// made in the listener's constructor, before the lifetime guard, and removed
// in its destructor, after it).
struct ListenerSighting
{
  bool seen = false;
  bool gone_again = false;
  // The subscription certainly existed for this long: from the return of the
  // first query that saw it to the call of the last one that saw it.
  Clock::duration certain_lifetime{0};
  // How much of the true lifetime the polls may have missed at either end.
  Clock::duration missed_at_start{0};
  Clock::duration missed_at_end{0};
};

long microseconds(Clock::duration duration)
{
  return static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(duration).count());
}

ListenerSighting watch_listener(
  align_test::NodeHarness & harness, const FeatureNode & node, const sensor_msgs::msg::LaserScan & scan)
{
  ListenerSighting sighting;
  // No listener exists before the scan callback has started the worker.
  Clock::time_point previous_return = Clock::now();
  harness.publish("back_scan", scan);
  while (node.frame_listener()->worker_starts() == 0 && Clock::now() < previous_return + std::chrono::seconds(5)) {
    harness.executor().spin_some();
  }
  Clock::time_point first_return{};
  Clock::time_point last_call{};
  const Clock::time_point deadline = previous_return + std::chrono::seconds(5);
  while (Clock::now() < deadline) {
    const Clock::time_point call = Clock::now();
    const bool present = harness.probe()->count_subscribers("/tf_static") > 0;
    const Clock::time_point returned = Clock::now();
    if (present) {
      if (!sighting.seen) {
        sighting.seen = true;
        first_return = returned;
        sighting.missed_at_start = returned - previous_return;
      }
      last_call = call;
    } else if (sighting.seen) {
      sighting.gone_again = true;
      sighting.missed_at_end = returned - last_call;
      break;
    } else if (node.frame_listener()->is_stored(kLaserFrame, kLaserFrame) &&
      !node.frame_listener()->is_worker_running())
    {
      // The worker is done and its listener gone between two polls.
      break;
    }
    previous_return = returned;
  }
  sighting.certain_lifetime = last_call - first_return;
  return sighting;
}

TEST(FeatureNodeFaults, ListenerLives20MsEvenWhenTheFirstLookupSucceeds)
{
  // A listener destroyed at once after its construction can lose the cancel
  // of its spin thread on a real ROS 2 installation and block; the worker
  // keeps it for at least 20 ms. With the publish frame equal to the scan
  // frame the worker's first lookup succeeds at once, the case in which the
  // listener would otherwise live for well under a millisecond.
  //
  // The sighting is a lower bound: the subscription was seen at both ends of
  // `certain_lifetime`, so the listener lived at least that long. It is only
  // conclusive when the polls ran densely around both ends (a starved poller
  // may miss much or all of the lifetime); inconclusive trials are repeated.
  align_test::LogCapture quiet;
  align_test::NodeHarness harness;
  ASSERT_TRUE(StaticFrameListener::wait_for_workers(std::chrono::seconds(5)));
  ASSERT_EQ(align_test::settled_subscribers(*harness.probe(), "/tf_static", 0u), 0u);
  const auto scan = own_frame_target_scan();
  int conclusive = 0;
  for (int trial = 0; trial < 20 && conclusive < 3; ++trial) {
    SCOPED_TRACE(trial);
    auto node = harness.start<FeatureNode>({{"publish_frame", kLaserFrame}});
    const ListenerSighting sighting = watch_listener(harness, *node, scan);
    EXPECT_TRUE(node->frame_listener()->is_stored(kLaserFrame, kLaserFrame));
    EXPECT_EQ(node->frame_listener()->worker_starts(), 1u);
    harness.release_node();
    node.reset();
    ASSERT_TRUE(StaticFrameListener::wait_for_workers(std::chrono::seconds(5)));
    if (!sighting.seen || !sighting.gone_again ||
      sighting.missed_at_start + sighting.missed_at_end > std::chrono::milliseconds(10))
    {
      continue;
    }
    ++conclusive;
    // At least 20 ms, less what the polls may have missed at the two ends.
    EXPECT_GE(sighting.certain_lifetime, std::chrono::milliseconds(10))
      << "seen for " << microseconds(sighting.certain_lifetime) << " us, missed up to "
      << microseconds(sighting.missed_at_start) << " us at the start and "
      << microseconds(sighting.missed_at_end) << " us at the end";
  }
  EXPECT_GE(conclusive, 1) << "the poll loop never ran densely enough to see the listener's lifetime";
}

// --- signals in the middle of a scan ----------------------------------------------

int run_feature_program(int argc, char ** argv)
{
  return align_program::run_node_program<FeatureNode>(
    argc, argv, "align_feature_node", [] {
      StaticFrameListener::wait_for_workers(std::chrono::milliseconds(1000));
    });
}

class FeatureProgramSignal : public ::testing::TestWithParam<int> {};

TEST_P(FeatureProgramSignal, DuringAScanEndsTheProgramCleanly)
{
  // The trigger is the window line: the transform gate is passed, and the
  // rest of the callback (points, segments, candidates, the pose publication)
  // runs after the context has been shut down.
  align_test::ProgramUnderSignal program("align_feature_node", "SCAN_SELECT lens ");
  const align_test::SignalRunResult result = program.run(
    run_feature_program,
    {"align_feature_node", "--ros-args", "-p", "publish_frame:=rear_laser", "-p", "min_angle:=-1.5",
      "-p", "max_angle:=1.5", "-p", "min_line_len:=0.15", "-p", "max_line_len:=0.45", "-p", "debug:=true",
      "--log-level", "align_feature_node:=debug"},
    own_frame_target_scan(), "back_scan", GetParam());

  ASSERT_TRUE(result.program_started);
  EXPECT_TRUE(result.handlers_installed);
  ASSERT_TRUE(result.trigger_seen);
  EXPECT_TRUE(result.context_shut_down_by_signal);
  ASSERT_TRUE(result.program_returned);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_FALSE(rclcpp::ok());
  // The held callback ran to its end: the target was found and its pose
  // handed to a publisher of a shut-down context, which drops it.
  ASSERT_FALSE(result.lines_after_trigger.empty());
  EXPECT_EQ(result.lines_after_trigger.back().rfind("TARGET_POSE: [x: ", 0), 0u)
    << result.lines_after_trigger.back();
  // Nothing of the node's runs after the program has released it.
  EXPECT_TRUE(StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
}

INSTANTIATE_TEST_SUITE_P(
  , FeatureProgramSignal, ::testing::Values(SIGINT, SIGTERM),
  [](const ::testing::TestParamInfo<int> & info) {return std::string(info.param == SIGINT ? "Sigint" : "Sigterm");});

// --- the program binary and SIGTERM --------------------------------------------------

// Starts the program binary with its output on a pipe.
class ProgramBinary
{
public:
  ProgramBinary()
  {
    int ends[2];
    if (pipe(ends) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(ends[1], STDOUT_FILENO);
      dup2(ends[1], STDERR_FILENO);
      close(ends[0]);
      close(ends[1]);
      execl(ALIGN_FEATURE_NODE_BINARY, ALIGN_FEATURE_NODE_BINARY, static_cast<char *>(nullptr));
      _exit(127);
    }
    close(ends[1]);
    fd_ = ends[0];
  }
  ~ProgramBinary()
  {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (fd_ >= 0) {
      close(fd_);
    }
  }

  bool wait_for_output(const std::string & text, std::chrono::seconds timeout)
  {
    const auto deadline = Clock::now() + timeout;
    while (output_.find(text) == std::string::npos && Clock::now() < deadline) {
      pollfd descriptor{fd_, POLLIN, 0};
      if (poll(&descriptor, 1, 50) > 0) {
        char buffer[1024];
        const ssize_t count = read(fd_, buffer, sizeof(buffer));
        if (count <= 0) {
          break;
        }
        output_.append(buffer, static_cast<std::size_t>(count));
      }
    }
    return output_.find(text) != std::string::npos;
  }

  bool wait_for_exit(std::chrono::seconds timeout, int & status)
  {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  pid_t pid() const {return pid_;}
  const std::string & output() const {return output_;}

private:
  pid_t pid_ = -1;
  int fd_ = -1;
  bool reaped_ = false;
  std::string output_;
};

TEST(FeatureProgramBinary, EndsWithStatusZeroOnSigterm)
{
  ProgramBinary program;
  ASSERT_GT(program.pid(), 0);
  ASSERT_TRUE(program.wait_for_output("Enable signal default to TRUE when test.", std::chrono::seconds(20)))
    << program.output();
  kill(program.pid(), SIGTERM);
  int status = 0;
  ASSERT_TRUE(program.wait_for_exit(std::chrono::seconds(20), status)) << program.output();
  ASSERT_TRUE(WIFEXITED(status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
