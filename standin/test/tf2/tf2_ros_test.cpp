// tf2_ros: the clocked buffer, the listener with its own thread, the broadcasters.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/header.hpp"
#include "tf2/exceptions.h"
#include "tf2_msgs/msg/tf_message.hpp"
#include "tf2_ros/buffer.h"
#include "tf2_ros/qos.hpp"
#include "tf2_ros/static_transform_broadcaster.h"
#include "tf2_ros/transform_broadcaster.h"
#include "tf2_ros/transform_listener.h"

using namespace std::chrono_literals;

namespace
{

// Generous bound for delivery between threads; never reached when things work.
constexpr auto kDeliveryDeadline = 10s;

geometry_msgs::msg::TransformStamped make_transform(
  const std::string & parent, const std::string & child, double x, int32_t sec = 0)
{
  geometry_msgs::msg::TransformStamped t;
  t.header.frame_id = parent;
  t.header.stamp.sec = sec;
  t.child_frame_id = child;
  t.transform.translation.x = x;
  t.transform.rotation.w = 1.0;
  return t;
}

tf2_msgs::msg::TFMessage make_message(const std::vector<geometry_msgs::msg::TransformStamped> & ts)
{
  tf2_msgs::msg::TFMessage message;
  message.transforms = ts;
  return message;
}

// Retries the lookup as a worker thread would, until it succeeds or the deadline passes.
bool wait_for_lookup(
  const tf2::BufferCore & buffer, const std::string & target, const std::string & source,
  geometry_msgs::msg::TransformStamped & result)
{
  const auto deadline = std::chrono::steady_clock::now() + kDeliveryDeadline;
  while (std::chrono::steady_clock::now() < deadline) {
    try {
      result = buffer.lookupTransform(target, source, tf2::TimePointZero);
      return true;
    } catch (const tf2::TransformException &) {
      std::this_thread::sleep_for(5ms);
    }
  }
  return false;
}

// Polls `condition` until it holds or the deadline passes.
bool wait_until(const std::function<bool()> & condition)
{
  const auto deadline = std::chrono::steady_clock::now() + kDeliveryDeadline;
  while (!condition() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  return condition();
}

// Endpoints match only after discovery, as on DDS. Waits until every endpoint
// that exists now has been through it: a probe pair created now matches no
// earlier than they do. For endpoints a test cannot reach, such as those of a
// listener or a broadcaster.
bool wait_for_discovery(rclcpp::Node & node)
{
  using std_msgs::msg::Header;
  auto subscription = node.create_subscription<Header>(
    "/tf2_test_discovery_probe", 1, [](const Header &) {});
  auto publisher = node.create_publisher<Header>("/tf2_test_discovery_probe", 1);
  return wait_until([&] {return publisher->get_subscription_count() > 0;});
}

class WithRos : public testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node = std::make_shared<rclcpp::Node>("tf2_test_probe");
  }

  void TearDown() override
  {
    node.reset();
    rclcpp::shutdown();
  }

  tf2_ros::Buffer::SharedPtr make_buffer()
  {
    return std::make_shared<tf2_ros::Buffer>(node->get_clock(), tf2::Duration(10s));
  }

  rclcpp::Node::SharedPtr node;
};

}  // namespace

TEST(Tf2RosTimeConversions, MessagesRclcppAndTf2AgreeOnNanoseconds)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = 12;
  stamp.nanosec = 345;
  const tf2::TimePoint point = tf2_ros::fromMsg(stamp);
  EXPECT_EQ(point.time_since_epoch().count(), 12000000345);
  EXPECT_EQ(tf2_ros::toMsg(point), stamp);
  // Negative times keep the nanoseconds in [0, 1e9).
  EXPECT_EQ(tf2_ros::toMsg(tf2::timeFromSec(-0.5)).sec, -1);
  EXPECT_EQ(tf2_ros::toMsg(tf2::timeFromSec(-0.5)).nanosec, 500000000u);
  EXPECT_DOUBLE_EQ(tf2_ros::timeToSec(stamp), 12.000000345);
  EXPECT_EQ(tf2_ros::fromRclcpp(rclcpp::Time(12, 345)), point);
  EXPECT_EQ(tf2_ros::toRclcpp(point).nanoseconds(), 12000000345);
  EXPECT_EQ(tf2_ros::fromRclcpp(rclcpp::Duration(1, 5)), tf2::Duration(1000000005));
  EXPECT_EQ(tf2_ros::toRclcpp(tf2::Duration(-3)).nanoseconds(), -3);
}

TEST(Tf2RosQoS, PresetsOfTheTransformTopics)
{
  EXPECT_EQ(tf2_ros::DynamicListenerQoS().depth(), 100u);
  EXPECT_EQ(tf2_ros::DynamicListenerQoS().durability(), rclcpp::DurabilityPolicy::Volatile);
  EXPECT_EQ(tf2_ros::DynamicListenerQoS().reliability(), rclcpp::ReliabilityPolicy::Reliable);
  EXPECT_EQ(tf2_ros::StaticListenerQoS().depth(), 100u);
  EXPECT_EQ(tf2_ros::StaticListenerQoS().durability(), rclcpp::DurabilityPolicy::TransientLocal);
  EXPECT_EQ(tf2_ros::StaticListenerQoS().reliability(), rclcpp::ReliabilityPolicy::Reliable);
  EXPECT_EQ(tf2_ros::StaticBroadcasterQoS().depth(), 1u);
  EXPECT_EQ(tf2_ros::StaticBroadcasterQoS().durability(), rclcpp::DurabilityPolicy::TransientLocal);
}

TEST_F(WithRos, BufferRejectsANullClock)
{
  EXPECT_THROW(tf2_ros::Buffer(nullptr), std::invalid_argument);
}

TEST_F(WithRos, BufferLookupsWithoutAFillingThreadDoNotWait)
{
  auto buffer = make_buffer();
  ASSERT_TRUE(buffer->setTransform(make_transform("base", "laser", 0.5), "test", true));
  EXPECT_EQ(buffer->lookupTransform("base", "laser", tf2::TimePointZero).transform.translation.x, 0.5);
  EXPECT_EQ(
    buffer->lookupTransform("base", "laser", tf2::TimePointZero, tf2::Duration(1s))
    .transform.translation.x, 0.5);
  EXPECT_EQ(
    buffer->lookupTransform("base", "laser", rclcpp::Time(0, 0, RCL_ROS_TIME))
    .transform.translation.x, 0.5);
  // Not fed by a dedicated thread: the timeout is ignored (no polling, so no
  // "returned after" note in the error) and the lookup fails at once.
  EXPECT_THROW(
    buffer->lookupTransform("base", "missing", tf2::TimePointZero, tf2::Duration(30s)),
    tf2::LookupException);
  std::string error;
  EXPECT_FALSE(buffer->canTransform("base", "laser", tf2::TimePointZero, tf2::Duration(30s), &error));
  EXPECT_EQ(error, tf2_ros::threading_error);
}

TEST_F(WithRos, ListenerFillsTheBufferFromStaticAndDynamicTopics)
{
  auto buffer = make_buffer();
  tf2_ros::TransformListener listener(*buffer);
  EXPECT_TRUE(buffer->isUsingDedicatedThread());
  auto static_pub = node->create_publisher<tf2_msgs::msg::TFMessage>(
    "/tf_static", tf2_ros::StaticBroadcasterQoS());
  auto dynamic_pub = node->create_publisher<tf2_msgs::msg::TFMessage>("/tf", tf2_ros::DynamicBroadcasterQoS());
  // /tf is volatile: what is published before the match is lost.
  ASSERT_TRUE(wait_until([&] {return dynamic_pub->get_subscription_count() > 0;}));
  static_pub->publish(make_message({make_transform("base", "laser", 0.5)}));
  dynamic_pub->publish(make_message({make_transform("odom", "base", 2.0, 7)}));

  geometry_msgs::msg::TransformStamped result;
  ASSERT_TRUE(wait_for_lookup(*buffer, "odom", "laser", result));
  EXPECT_DOUBLE_EQ(result.transform.translation.x, 2.5);
  EXPECT_EQ(result.header.stamp.sec, 7);
  // The static transform is stored as static: it answers at any time.
  EXPECT_NO_THROW(buffer->lookupTransform("base", "laser", tf2::timeFromSec(1e6)));
  EXPECT_THROW(buffer->lookupTransform("odom", "base", tf2::timeFromSec(8)), tf2::ExtrapolationException);
}

TEST_F(WithRos, ChainLookedUpWhileAnotherThreadPublishes)
{
  auto buffer = make_buffer();
  tf2_ros::TransformListener listener(*buffer);
  tf2_ros::StaticTransformBroadcaster broadcaster(node);
  std::thread publisher([&broadcaster]() {
      broadcaster.sendTransform(make_transform("base_link", "mount", 0.25));
      std::this_thread::sleep_for(20ms);
      broadcaster.sendTransform(make_transform("mount", "laser", 0.5));
    });
  geometry_msgs::msg::TransformStamped result;
  const bool found = wait_for_lookup(*buffer, "base_link", "laser", result);
  publisher.join();
  ASSERT_TRUE(found);
  EXPECT_DOUBLE_EQ(result.transform.translation.x, 0.75);
  EXPECT_EQ(result.header.frame_id, "base_link");
  EXPECT_EQ(result.child_frame_id, "laser");
}

TEST_F(WithRos, ListenerCreatedLaterStillReceivesStaticTransforms)
{
  tf2_ros::StaticTransformBroadcaster broadcaster(node);
  broadcaster.sendTransform(make_transform("base", "laser", 0.5));
  broadcaster.sendTransform(make_transform("base", "camera", 1.5));

  auto buffer = make_buffer();
  tf2_ros::TransformListener listener(*buffer);
  geometry_msgs::msg::TransformStamped result;
  // Depth 1 is enough: the last message carries both child frames.
  ASSERT_TRUE(wait_for_lookup(*buffer, "camera", "laser", result));
  EXPECT_DOUBLE_EQ(result.transform.translation.x, -1.0);
}

TEST_F(WithRos, StaticBroadcasterReplacesAChildFrameInsteadOfAddingIt)
{
  tf2_ros::StaticTransformBroadcaster broadcaster(node);
  broadcaster.sendTransform(
    std::vector<geometry_msgs::msg::TransformStamped>{
      make_transform("base", "laser", 0.5), make_transform("base", "camera", 1.0)});
  broadcaster.sendTransform(make_transform("base", "laser", 0.7));

  std::vector<tf2_msgs::msg::TFMessage> received;
  auto subscription = node->create_subscription<tf2_msgs::msg::TFMessage>(
    "/tf_static", tf2_ros::StaticListenerQoS(),
    [&received](tf2_msgs::msg::TFMessage::ConstSharedPtr msg) {received.push_back(*msg);});
  // The history arrives when the subscription matches the broadcaster.
  ASSERT_TRUE(wait_until([&] {return subscription->get_publisher_count() > 0;}));
  rclcpp::spin_some(node);
  ASSERT_EQ(received.size(), 1u);
  ASSERT_EQ(received[0].transforms.size(), 2u);
  EXPECT_EQ(received[0].transforms[0].child_frame_id, "laser");
  EXPECT_EQ(received[0].transforms[0].transform.translation.x, 0.7);
  EXPECT_EQ(received[0].transforms[1].child_frame_id, "camera");
}

TEST_F(WithRos, DynamicBroadcasterPublishesOnTf)
{
  tf2_ros::TransformBroadcaster broadcaster(node);
  auto buffer = make_buffer();
  tf2_ros::TransformListener listener(*buffer);
  // /tf is volatile: what is sent before the listener matched is lost.
  ASSERT_TRUE(wait_for_discovery(*node));
  broadcaster.sendTransform(make_transform("odom", "base", 3.0, 4));
  geometry_msgs::msg::TransformStamped result;
  ASSERT_TRUE(wait_for_lookup(*buffer, "odom", "base", result));
  EXPECT_EQ(result.transform.translation.x, 3.0);
  EXPECT_EQ(result.header.stamp.sec, 4);
}

TEST_F(WithRos, MalformedReceivedTransformsAreSkipped)
{
  auto buffer = make_buffer();
  tf2_ros::TransformListener listener(*buffer);
  auto pub = node->create_publisher<tf2_msgs::msg::TFMessage>("/tf_static", tf2_ros::StaticBroadcasterQoS());
  pub->publish(make_message({make_transform("", "broken", 1.0), make_transform("base", "laser", 0.5)}));
  geometry_msgs::msg::TransformStamped result;
  ASSERT_TRUE(wait_for_lookup(*buffer, "base", "laser", result));
  const auto names = buffer->getAllFrameNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "broken"), 0);
}

TEST_F(WithRos, TimeoutLookupWaitsForTheListenerThread)
{
  auto buffer = make_buffer();
  tf2_ros::TransformListener listener(*buffer);
  tf2_ros::StaticTransformBroadcaster broadcaster(node);
  std::thread late_sender([&broadcaster]() {
      std::this_thread::sleep_for(50ms);
      broadcaster.sendTransform(make_transform("base", "laser", 0.5));
    });
  geometry_msgs::msg::TransformStamped result;
  EXPECT_NO_THROW(result = buffer->lookupTransform("base", "laser", tf2::TimePointZero, tf2::Duration(10s)));
  late_sender.join();
  EXPECT_EQ(result.transform.translation.x, 0.5);
}

TEST_F(WithRos, ListenerDestroyedRightAfterConstructionReturns)
{
  auto buffer = make_buffer();
  for (int i = 0; i < 20; ++i) {
    auto listener = std::make_unique<tf2_ros::TransformListener>(*buffer);
    listener.reset();
  }
  // Still usable afterwards: a fresh listener receives data.
  tf2_ros::TransformListener listener(*buffer);
  tf2_ros::StaticTransformBroadcaster broadcaster(node);
  broadcaster.sendTransform(make_transform("base", "laser", 0.5));
  geometry_msgs::msg::TransformStamped result;
  EXPECT_TRUE(wait_for_lookup(*buffer, "base", "laser", result));
}

TEST_F(WithRos, HiddenNodeIsNamedAfterTheListener)
{
  auto buffer = make_buffer();
  tf2_ros::TransformListener listener(*buffer);
  const auto names = node->get_node_names();
  const auto hidden = std::find_if(names.begin(), names.end(), [](const std::string & name) {
        return name.rfind("/transform_listener_impl_", 0) == 0;
      });
  EXPECT_NE(hidden, names.end());
  EXPECT_TRUE(wait_until([&] {return node->count_subscribers("/tf") == 1u;}));
  EXPECT_TRUE(wait_until([&] {return node->count_subscribers("/tf_static") == 1u;}));
}

TEST_F(WithRos, NodeBasedListenerWithoutThreadIsSpunByTheCaller)
{
  auto buffer = make_buffer();
  auto owner = std::make_shared<rclcpp::Node>("tf2_test_owner");
  tf2_ros::TransformListener listener(*buffer, owner, false);
  EXPECT_FALSE(buffer->isUsingDedicatedThread());
  tf2_ros::StaticTransformBroadcaster broadcaster(node);
  broadcaster.sendTransform(make_transform("base", "laser", 0.5));
  // Matched, so only the missing spin keeps the transform out of the buffer.
  ASSERT_TRUE(wait_for_discovery(*node));
  EXPECT_THROW(buffer->lookupTransform("base", "laser", tf2::TimePointZero), tf2::LookupException);
  rclcpp::spin_some(owner);
  EXPECT_EQ(buffer->lookupTransform("base", "laser", tf2::TimePointZero).transform.translation.x, 0.5);
}

TEST_F(WithRos, NodeBasedListenerWithThreadLeavesTheNodeToItsExecutor)
{
  auto buffer = make_buffer();
  auto owner = std::make_shared<rclcpp::Node>("tf2_test_owner");
  rclcpp::Node * raw_owner = owner.get();
  tf2_ros::TransformListener listener(*buffer, raw_owner);
  rclcpp::executors::SingleThreadedExecutor executor;
  EXPECT_NO_THROW(executor.add_node(owner));
  tf2_ros::StaticTransformBroadcaster broadcaster(node);
  broadcaster.sendTransform(make_transform("base", "laser", 0.5));
  geometry_msgs::msg::TransformStamped result;
  EXPECT_TRUE(wait_for_lookup(*buffer, "base", "laser", result));
}

TEST_F(WithRos, ListenerStopsWhenTheContextShutsDownFirst)
{
  auto buffer = make_buffer();
  auto listener = std::make_unique<tf2_ros::TransformListener>(*buffer);
  rclcpp::shutdown();
  listener.reset();
  EXPECT_FALSE(rclcpp::ok());
  EXPECT_THROW(tf2_ros::TransformListener another(*buffer), rclcpp::exceptions::RCLError);
}
