// QoS builder defaults, setters and presets.
#include <gtest/gtest.h>

#include <chrono>

#include "rclcpp/qos.hpp"

namespace
{

using namespace std::chrono_literals;

TEST(QoS, DepthConstructorStartsFromTheDefaultProfile)
{
  const rclcpp::QoS qos = 1;  // implicit, as create_publisher(topic, 1) relies on
  EXPECT_EQ(qos.history(), rclcpp::HistoryPolicy::KeepLast);
  EXPECT_EQ(qos.depth(), 1u);
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::Reliable);
  EXPECT_EQ(qos.durability(), rclcpp::DurabilityPolicy::Volatile);
  EXPECT_EQ(qos.liveliness(), rclcpp::LivelinessPolicy::SystemDefault);
  EXPECT_EQ(qos.deadline().nanoseconds(), 0);
  EXPECT_FALSE(qos.avoid_ros_namespace_conventions());
  EXPECT_EQ(qos, rclcpp::QoS(rclcpp::KeepLast(1)));
}

TEST(QoS, SettersChainAndChangeEquality)
{
  rclcpp::QoS qos(10);
  qos.best_effort().transient_local().keep_all().deadline(rclcpp::Duration(250ms));
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::BestEffort);
  EXPECT_EQ(qos.durability(), rclcpp::DurabilityPolicy::TransientLocal);
  EXPECT_EQ(qos.history(), rclcpp::HistoryPolicy::KeepAll);
  EXPECT_EQ(qos.deadline().nanoseconds(), 250000000);
  EXPECT_NE(qos, rclcpp::QoS(10));
  // Negative durations cannot be expressed in rmw time.
  qos.lifespan(rclcpp::Duration(-1s));
  EXPECT_EQ(qos.lifespan().nanoseconds(), 0);
}

TEST(QoS, Presets)
{
  const rclcpp::SensorDataQoS sensor;
  EXPECT_EQ(sensor.depth(), 5u);
  EXPECT_EQ(sensor.reliability(), rclcpp::ReliabilityPolicy::BestEffort);
  const rclcpp::ServicesQoS services;
  EXPECT_EQ(services.depth(), 10u);
  EXPECT_EQ(services.reliability(), rclcpp::ReliabilityPolicy::Reliable);
  const rclcpp::ClockQoS clock;
  EXPECT_EQ(clock.depth(), 1u);
  EXPECT_EQ(clock.reliability(), rclcpp::ReliabilityPolicy::BestEffort);
  // from_rmw turns a system-default history into keep-last of the profile depth.
  const rclcpp::SystemDefaultsQoS system_defaults;
  EXPECT_EQ(system_defaults.history(), rclcpp::HistoryPolicy::KeepLast);
  EXPECT_EQ(system_defaults.depth(), 0u);
  EXPECT_EQ(system_defaults.reliability(), rclcpp::ReliabilityPolicy::SystemDefault);
  EXPECT_EQ(rclcpp::ParametersQoS().depth(), 1000u);
  EXPECT_EQ(rclcpp::RosoutQoS().durability(), rclcpp::DurabilityPolicy::TransientLocal);
  EXPECT_EQ(rclcpp::QoS(rclcpp::KeepAll()).history(), rclcpp::HistoryPolicy::KeepAll);
}

}  // namespace
