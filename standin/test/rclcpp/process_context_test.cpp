// init / shutdown of the global context, shutdown callbacks, signals and the
// arguments init applies.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/utilities.hpp"
#include "rcutils/logging.h"

namespace
{

using namespace std::chrono_literals;

// Starts every test with the global context shut down and puts back what
// it found, so other tests of this program keep their environment.
class GlobalContextTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    was_initialised_ = rclcpp::ok();
    if (was_initialised_) {
      rclcpp::shutdown();
    }
  }
  void TearDown() override
  {
    rclcpp::shutdown();
    rcutils_logging_set_default_logger_level(RCUTILS_DEFAULT_LOGGER_DEFAULT_LEVEL);
    if (was_initialised_) {
      rclcpp::init(0, nullptr);
    }
  }

  // Waits for the watcher thread that turns a signal into a shutdown.
  static bool wait_until_not_ok()
  {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (rclcpp::ok() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(1ms);
    }
    return !rclcpp::ok();
  }

  bool was_initialised_ = false;
};

TEST_F(GlobalContextTest, InitTwiceThrowsAndShutdownReportsOnlyTheFirstCall)
{
  EXPECT_FALSE(rclcpp::ok());
  rclcpp::init(0, nullptr);
  EXPECT_TRUE(rclcpp::ok());
  EXPECT_THROW(rclcpp::init(0, nullptr), rclcpp::ContextAlreadyInitialized);
  EXPECT_TRUE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::ok());
  EXPECT_FALSE(rclcpp::shutdown());
  EXPECT_EQ(
    rclcpp::contexts::get_global_default_context()->shutdown_reason(),
    "user called rclcpp::shutdown()");
  // A test program may initialise again after a shutdown.
  rclcpp::init(0, nullptr);
  EXPECT_TRUE(rclcpp::ok());
}

TEST_F(GlobalContextTest, SigintShutsTheContextDown)
{
  rclcpp::init(0, nullptr);
  ASSERT_TRUE(rclcpp::signal_handlers_installed());
  auto context = rclcpp::contexts::get_global_default_context();
  // Shutdown callbacks outlive a shutdown (as in rclcpp), so share the
  // counter and unregister at the end.
  auto callbacks = std::make_shared<std::atomic<int>>(0);
  const auto handle = context->add_on_shutdown_callback([callbacks] {++*callbacks;});

  std::raise(SIGINT);
  ASSERT_TRUE(wait_until_not_ok());
  EXPECT_EQ(callbacks->load(), 1);
  EXPECT_EQ(context->shutdown_reason(), "signal handler");

  // A second signal finds nothing left to shut down.
  std::raise(SIGTERM);
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(callbacks->load(), 1);
  EXPECT_FALSE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::signal_handlers_installed());
  EXPECT_TRUE(context->remove_on_shutdown_callback(handle));
}

TEST_F(GlobalContextTest, SleepForIsCutShortByShutdown)
{
  rclcpp::init(0, nullptr, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::None);
  EXPECT_FALSE(rclcpp::signal_handlers_installed());
  EXPECT_TRUE(rclcpp::sleep_for(1ms));
  std::thread stopper([] {
      std::this_thread::sleep_for(20ms);
      rclcpp::shutdown();
    });
  EXPECT_FALSE(rclcpp::sleep_for(std::chrono::hours(1)));
  stopper.join();
  EXPECT_FALSE(rclcpp::sleep_for(1ms));
}

TEST_F(GlobalContextTest, InitAppliesLogLevelsAndPublishesArguments)
{
  const char * argv[] = {
    "prog", "--ros-args", "--log-level", "debug", "--log-level", "process_quiet:=error",
    "-p", "gain:=2", "--", "tail"};
  const auto remaining = rclcpp::init_and_remove_ros_arguments(10, argv);
  EXPECT_EQ(remaining, (std::vector<std::string>{"prog", "tail"}));
  EXPECT_EQ(rcutils_logging_get_default_logger_level(), RCUTILS_LOG_SEVERITY_DEBUG);
  EXPECT_EQ(rcutils_logging_get_logger_level("process_quiet"), RCUTILS_LOG_SEVERITY_ERROR);
  EXPECT_EQ(
    rclcpp::detail::global_arguments().parameter_overrides("/n").at("gain").get<int64_t>(), 2);
  EXPECT_EQ(rcutils_logging_set_logger_level("process_quiet", RCUTILS_LOG_SEVERITY_UNSET), RCUTILS_RET_OK);
}

TEST_F(GlobalContextTest, BadArgumentsLeaveTheContextUninitialised)
{
  const char * unknown[] = {"prog", "--ros-args", "--nope"};
  EXPECT_THROW(rclcpp::init(3, unknown), rclcpp::exceptions::UnknownROSArgsError);
  EXPECT_FALSE(rclcpp::ok());
  const char * malformed[] = {"prog", "--ros-args", "-p", "broken"};
  EXPECT_THROW(rclcpp::init(4, malformed), rclcpp::exceptions::RCLInvalidROSArgsError);
  EXPECT_FALSE(rclcpp::ok());
}

TEST(Context, ShutdownCallbacksCanBeRemoved)
{
  auto context = std::make_shared<rclcpp::Context>();
  context->init(0, nullptr);
  int kept = 0;
  int removed = 0;
  context->add_on_shutdown_callback([&kept] {++kept;});
  const auto handle = context->add_on_shutdown_callback([&removed] {++removed;});
  EXPECT_TRUE(context->remove_on_shutdown_callback(handle));
  EXPECT_FALSE(context->remove_on_shutdown_callback(handle));
  EXPECT_TRUE(context->shutdown("done"));
  EXPECT_FALSE(context->shutdown("again"));
  EXPECT_EQ(kept, 1);
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(context->shutdown_reason(), "done");
  // A separate context does not touch the global arguments' owner.
  EXPECT_NE(context, rclcpp::contexts::get_global_default_context());
}

TEST(RemoveRosArguments, KeepsProgramArguments)
{
  const char * argv[] = {
    "prog", "in", "--ros-args", "-r", "a:=b", "--", "out", "--ros-args", "-p", "x:=1"};
  EXPECT_EQ(rclcpp::remove_ros_arguments(10, argv),
    (std::vector<std::string>{"prog", "in", "out"}));
  EXPECT_TRUE(rclcpp::remove_ros_arguments(0, nullptr).empty());
  const char * with_null[] = {"prog", nullptr, "x"};
  EXPECT_EQ(rclcpp::remove_ros_arguments(3, with_null), (std::vector<std::string>{"prog", "x"}));
}

}  // namespace
