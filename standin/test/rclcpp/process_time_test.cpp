// Time, Duration and Clock arithmetic, conversions and the ROS-time override.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <thread>

#include "builtin_interfaces/msg/duration.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/utilities.hpp"

namespace
{

using namespace std::chrono_literals;

TEST(Time, ConstructionAndClockTypes)
{
  const rclcpp::Time from_parts(3, 500000000u);
  EXPECT_EQ(from_parts.nanoseconds(), 3500000000LL);
  EXPECT_EQ(from_parts.get_clock_type(), RCL_SYSTEM_TIME);
  EXPECT_DOUBLE_EQ(from_parts.seconds(), 3.5);

  builtin_interfaces::msg::Time stamp;
  stamp.sec = 7;
  stamp.nanosec = 1;
  const rclcpp::Time from_message(stamp);
  EXPECT_EQ(from_message.get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(from_message.nanoseconds(), 7000000001LL);

  EXPECT_THROW(rclcpp::Time(-1, 0), std::runtime_error);
  stamp.sec = -1;
  EXPECT_THROW(rclcpp::Time{stamp}, std::runtime_error);
}

TEST(Time, AssigningAMessageGivesRosTimeAndMaxIsTheLargestStamp)
{
  rclcpp::Time time(int64_t{5}, RCL_STEADY_TIME);
  builtin_interfaces::msg::Time stamp;
  stamp.sec = 2;
  time = stamp;
  EXPECT_EQ(time.get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(time.nanoseconds(), 2000000000LL);

  const builtin_interfaces::msg::Time largest = rclcpp::Time::max();
  EXPECT_EQ(largest.sec, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(largest.nanosec, 999999999u);
}

TEST(Time, DifferentClockTypesNeitherCompareNorSubtract)
{
  const rclcpp::Time system(10, 0, RCL_SYSTEM_TIME);
  const rclcpp::Time ros(10, 0, RCL_ROS_TIME);
  EXPECT_THROW((void)(system == ros), std::runtime_error);
  EXPECT_THROW((void)(system < ros), std::runtime_error);
  EXPECT_THROW((void)(system - ros), std::runtime_error);
  EXPECT_TRUE(system == rclcpp::Time(10, 0, RCL_SYSTEM_TIME));
}

TEST(Time, ArithmeticKeepsTheClockType)
{
  const rclcpp::Time start(10, 0, RCL_ROS_TIME);
  const rclcpp::Time later = start + rclcpp::Duration(1, 250000000u);
  EXPECT_EQ(later.get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(later.nanoseconds(), 11250000000LL);
  EXPECT_EQ((later - start).nanoseconds(), 1250000000LL);
  EXPECT_EQ((rclcpp::Duration(2s) + start).nanoseconds(), 12000000000LL);
  rclcpp::Time moving = start;
  moving -= rclcpp::Duration(500ms);
  EXPECT_EQ(moving.nanoseconds(), 9500000000LL);
  EXPECT_LT(moving, start);
}

TEST(Time, AdditionOverflowThrows)
{
  const rclcpp::Time near_max(std::numeric_limits<int64_t>::max() - 1);
  EXPECT_THROW((void)(near_max + rclcpp::Duration(1s)), std::overflow_error);
  const rclcpp::Time near_min(std::numeric_limits<int64_t>::min() + 1);
  EXPECT_THROW((void)(near_min - rclcpp::Duration(1s)), std::underflow_error);
  EXPECT_THROW(
    (void)(rclcpp::Duration::max() * 1e10), std::overflow_error);
}

TEST(Time, MessageConversionFloorsNegativeValues)
{
  const builtin_interfaces::msg::Time positive = rclcpp::Time(1500000000LL);
  EXPECT_EQ(positive.sec, 1);
  EXPECT_EQ(positive.nanosec, 500000000u);

  const builtin_interfaces::msg::Time negative = rclcpp::Time(-1500000000LL);
  EXPECT_EQ(negative.sec, -2);
  EXPECT_EQ(negative.nanosec, 500000000u);

  const builtin_interfaces::msg::Duration back = rclcpp::Duration::from_nanoseconds(-1);
  EXPECT_EQ(back.sec, -1);
  EXPECT_EQ(back.nanosec, 999999999u);
  EXPECT_EQ(rclcpp::Duration(back).nanoseconds(), -1);
}

TEST(Duration, ConversionsAndScaling)
{
  EXPECT_EQ(rclcpp::Duration::from_seconds(0.25).nanoseconds(), 250000000LL);
  EXPECT_EQ(rclcpp::Duration::from_seconds(-1.5).nanoseconds(), -1500000000LL);
  EXPECT_EQ(rclcpp::Duration(100ms).to_chrono<std::chrono::milliseconds>(), 100ms);
  EXPECT_EQ((rclcpp::Duration(1s) * 0.5).nanoseconds(), 500000000LL);
  EXPECT_THROW((void)(rclcpp::Duration(1s) * std::numeric_limits<double>::quiet_NaN()), std::runtime_error);
  EXPECT_THROW((void)rclcpp::Duration::from_seconds(1e300), std::overflow_error);
  EXPECT_EQ(rclcpp::Duration::max().nanoseconds(),
    std::numeric_limits<int32_t>::max() * 1000000000LL + 999999999LL);
  EXPECT_TRUE(rclcpp::Duration(1s) > rclcpp::Duration(999ms));
}

TEST(Clock, SystemAndSteadyClocksAdvance)
{
  rclcpp::Clock system_clock;
  const rclcpp::Time first = system_clock.now();
  EXPECT_EQ(first.get_clock_type(), RCL_SYSTEM_TIME);
  EXPECT_GT(first.nanoseconds(), 1600000000LL * 1000000000LL);

  rclcpp::Clock steady_clock(RCL_STEADY_TIME);
  const rclcpp::Time before = steady_clock.now();
  EXPECT_LE(before, steady_clock.now());
  EXPECT_THROW((void)system_clock.ros_time_is_active(), std::runtime_error);
}

TEST(Clock, RosTimeOverrideIsSharedByCopiesAndCanBeDisabled)
{
  auto clock = std::make_shared<rclcpp::Clock>(RCL_ROS_TIME);
  rclcpp::Clock copy = *clock;
  EXPECT_FALSE(clock->ros_time_is_active());
  EXPECT_GT(clock->now().nanoseconds(), 0);

  rclcpp::detail::set_ros_time_override(*clock, true, 0);
  EXPECT_TRUE(copy.ros_time_is_active());
  EXPECT_EQ(copy.now().nanoseconds(), 0);
  EXPECT_EQ(copy.now().get_clock_type(), RCL_ROS_TIME);

  rclcpp::detail::set_ros_time_override(copy, true, 42000000000LL);
  EXPECT_EQ(clock->now().nanoseconds(), 42000000000LL);

  rclcpp::detail::set_ros_time_override(*clock, false, 0);
  EXPECT_FALSE(clock->ros_time_is_active());
  EXPECT_GT(clock->now().nanoseconds(), 42000000000LL);

  // A system clock ignores the override.
  rclcpp::Clock system_clock(RCL_SYSTEM_TIME);
  rclcpp::detail::set_ros_time_override(system_clock, true, 5);
  EXPECT_NE(system_clock.now().nanoseconds(), 5);
}

class ClockSleepTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    context_ = std::make_shared<rclcpp::Context>();
    context_->init(0, nullptr);
  }
  void TearDown() override {context_->shutdown("test done");}

  rclcpp::Context::SharedPtr context_;
};

TEST_F(ClockSleepTest, SleepUntilWakesWhenSimulatedTimeArrives)
{
  rclcpp::Clock clock(RCL_ROS_TIME);
  rclcpp::detail::set_ros_time_override(clock, true, 1000);
  std::thread publisher([&clock] {
      std::this_thread::sleep_for(20ms);
      rclcpp::detail::set_ros_time_override(clock, true, 1500);
      std::this_thread::sleep_for(20ms);
      rclcpp::detail::set_ros_time_override(clock, true, 3000);
    });
  EXPECT_TRUE(clock.sleep_until(rclcpp::Time(int64_t{2000}, RCL_ROS_TIME), context_));
  EXPECT_GE(clock.now().nanoseconds(), 2000);
  publisher.join();
}

TEST_F(ClockSleepTest, SleepReturnsFalseWhenTheContextShutsDown)
{
  rclcpp::Clock clock(RCL_ROS_TIME);
  rclcpp::detail::set_ros_time_override(clock, true, 0);
  std::thread stopper([this] {
      std::this_thread::sleep_for(20ms);
      context_->shutdown("stop sleeping");
    });
  EXPECT_FALSE(clock.sleep_for(rclcpp::Duration(10s), context_));
  stopper.join();
}

TEST_F(ClockSleepTest, SleepRejectsMismatchedClockAndInvalidContext)
{
  rclcpp::Clock clock(RCL_SYSTEM_TIME);
  EXPECT_THROW(clock.sleep_until(rclcpp::Time(int64_t{0}, RCL_ROS_TIME), context_), std::runtime_error);
  EXPECT_TRUE(clock.sleep_for(rclcpp::Duration(1ms), context_));
  auto never_initialised = std::make_shared<rclcpp::Context>();
  EXPECT_THROW(clock.sleep_for(rclcpp::Duration(1ms), never_initialised), std::runtime_error);
}

}  // namespace
