// tf2::BufferCore: storing transforms and looking them up through the frame tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "tf2/buffer_core.h"
#include "tf2/exceptions.h"
#include "tf2/time.h"

namespace
{

geometry_msgs::msg::TransformStamped make_transform(
  const std::string & parent, const std::string & child,
  double x, double y, double yaw, int32_t sec = 0, uint32_t nanosec = 0)
{
  geometry_msgs::msg::TransformStamped t;
  t.header.frame_id = parent;
  t.header.stamp.sec = sec;
  t.header.stamp.nanosec = nanosec;
  t.child_frame_id = child;
  t.transform.translation.x = x;
  t.transform.translation.y = y;
  t.transform.rotation.z = std::sin(yaw / 2);
  t.transform.rotation.w = std::cos(yaw / 2);
  return t;
}

double yaw_of(const geometry_msgs::msg::Quaternion & q)
{
  return std::atan2(2.0 * (q.w * q.z + q.x * q.y), 1.0 - 2.0 * (q.y * q.y + q.z * q.z));
}

tf2::TimePoint at(double seconds)
{
  return tf2::timeFromSec(seconds);
}

// base -> laser (static), odom -> base (dynamic), map -> odom (static).
class BufferCoreChain : public testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(buffer.setTransform(make_transform("map", "odom", 10.0, 0.0, 0.0), "test", true));
    ASSERT_TRUE(buffer.setTransform(make_transform("odom", "base", 1.0, 0.0, M_PI / 2, 5), "test"));
    ASSERT_TRUE(buffer.setTransform(make_transform("base", "laser", 0.5, 0.0, M_PI), "test", true));
  }

  tf2::BufferCore buffer;
};

}  // namespace

TEST_F(BufferCoreChain, DirectParentGivesTheStoredTransformExactly)
{
  const auto t = buffer.lookupTransform("base", "laser", tf2::TimePointZero);
  const auto stored = make_transform("base", "laser", 0.5, 0.0, M_PI);
  EXPECT_EQ(t.header.frame_id, "base");
  EXPECT_EQ(t.child_frame_id, "laser");
  EXPECT_EQ(t.transform, stored.transform);
  // Static data has no time: the stamp is the epoch.
  EXPECT_EQ(t.header.stamp.sec, 0);
  EXPECT_EQ(t.header.stamp.nanosec, 0u);
}

TEST_F(BufferCoreChain, ChainLookupComposesUpTheTree)
{
  // laser origin: (0.5, 0) in base; base is at (1, 0) in odom turned by 90 degrees.
  const auto t = buffer.lookupTransform("odom", "laser", tf2::TimePointZero);
  EXPECT_NEAR(t.transform.translation.x, 1.0, 1e-12);
  EXPECT_NEAR(t.transform.translation.y, 0.5, 1e-12);
  EXPECT_NEAR(std::abs(yaw_of(t.transform.rotation)), 3 * M_PI / 2 - M_PI, 1e-12);
  // The stamp is the newest time common to the chain: the dynamic odom -> base data.
  EXPECT_EQ(t.header.stamp.sec, 5);

  const auto full = buffer.lookupTransform("map", "laser", tf2::TimePointZero);
  EXPECT_NEAR(full.transform.translation.x, 11.0, 1e-12);
  EXPECT_NEAR(full.transform.translation.y, 0.5, 1e-12);
}

TEST_F(BufferCoreChain, InverseDirectionInvertsTheChain)
{
  const auto t = buffer.lookupTransform("laser", "odom", tf2::TimePointZero);
  // odom origin seen from the laser: laser sits at (1, 0.5) facing -y in odom.
  EXPECT_NEAR(t.transform.translation.x, 0.5, 1e-12);
  EXPECT_NEAR(t.transform.translation.y, -1.0, 1e-12);
  EXPECT_NEAR(yaw_of(t.transform.rotation), M_PI / 2, 1e-12);
  EXPECT_EQ(t.header.frame_id, "laser");
  EXPECT_EQ(t.child_frame_id, "odom");
}

TEST_F(BufferCoreChain, SiblingFramesMeetAtTheCommonAncestor)
{
  ASSERT_TRUE(buffer.setTransform(make_transform("base", "camera", 0.0, 1.0, 0.0), "test", true));
  const auto t = buffer.lookupTransform("camera", "laser", tf2::TimePointZero);
  EXPECT_NEAR(t.transform.translation.x, 0.5, 1e-12);
  EXPECT_NEAR(t.transform.translation.y, -1.0, 1e-12);
  EXPECT_NEAR(std::abs(yaw_of(t.transform.rotation)), M_PI, 1e-12);
}

TEST_F(BufferCoreChain, EqualFramesGiveTheIdentityWithoutValidation)
{
  for (const std::string frame : {"laser", "never_seen", "", "/slashed"}) {
    SCOPED_TRACE(frame);
    const auto t = buffer.lookupTransform(frame, frame, tf2::TimePointZero);
    EXPECT_EQ(t.transform.translation.x, 0.0);
    EXPECT_EQ(t.transform.rotation.w, 1.0);
    EXPECT_EQ(t.header.frame_id, frame);
    EXPECT_EQ(t.child_frame_id, frame);
    EXPECT_TRUE(buffer.canTransform(frame, frame, tf2::TimePointZero));
  }
  // A dynamic frame reports its newest stamp.
  EXPECT_EQ(buffer.lookupTransform("base", "base", tf2::TimePointZero).header.stamp.sec, 5);
}

TEST_F(BufferCoreChain, InvalidNamesThrowInvalidArgument)
{
  EXPECT_THROW(buffer.lookupTransform("", "laser", tf2::TimePointZero), tf2::InvalidArgumentException);
  EXPECT_THROW(buffer.lookupTransform("base", "", tf2::TimePointZero), tf2::InvalidArgumentException);
  EXPECT_THROW(buffer.lookupTransform("/base", "laser", tf2::TimePointZero), tf2::InvalidArgumentException);
  EXPECT_THROW(buffer.lookupTransform("base", "/laser", tf2::TimePointZero), tf2::InvalidArgumentException);
  std::string error;
  EXPECT_FALSE(buffer.canTransform("/base", "laser", tf2::TimePointZero, &error));
  EXPECT_NE(error.find("cannot start with a '/'"), std::string::npos);
}

TEST_F(BufferCoreChain, UnknownFrameThrowsLookupException)
{
  EXPECT_THROW(buffer.lookupTransform("base", "nowhere", tf2::TimePointZero), tf2::LookupException);
  EXPECT_THROW(buffer.lookupTransform("nowhere", "base", tf2::TimePointZero), tf2::LookupException);
  std::string error;
  EXPECT_FALSE(buffer.canTransform("base", "nowhere", tf2::TimePointZero, &error));
  EXPECT_EQ(error, "canTransform: source_frame nowhere does not exist.");
}

TEST_F(BufferCoreChain, SeparateTreesThrowConnectivityException)
{
  ASSERT_TRUE(buffer.setTransform(make_transform("world", "island", 0, 0, 0), "test", true));
  EXPECT_THROW(buffer.lookupTransform("base", "island", tf2::TimePointZero), tf2::ConnectivityException);
  EXPECT_THROW(buffer.lookupTransform("world", "laser", tf2::TimePointZero), tf2::ConnectivityException);
  EXPECT_FALSE(buffer.canTransform("world", "laser", tf2::TimePointZero));
}

TEST_F(BufferCoreChain, AllExceptionsAreTransformExceptions)
{
  EXPECT_THROW(buffer.lookupTransform("", "laser", tf2::TimePointZero), tf2::TransformException);
  EXPECT_THROW(buffer.lookupTransform("base", "nowhere", tf2::TimePointZero), tf2::TransformException);
  EXPECT_THROW(buffer.lookupTransform("odom", "base", at(99)), tf2::TransformException);
}

TEST_F(BufferCoreChain, TimesOutsideTheCachedDataThrowExtrapolation)
{
  // Only one dynamic sample (t = 5): any other time extrapolates.
  EXPECT_THROW(buffer.lookupTransform("odom", "base", at(6)), tf2::ExtrapolationException);
  EXPECT_THROW(buffer.lookupTransform("odom", "base", at(4)), tf2::ExtrapolationException);
  EXPECT_THROW(buffer.lookupTransform("map", "laser", at(4)), tf2::ExtrapolationException);
  EXPECT_NO_THROW(buffer.lookupTransform("odom", "base", at(5)));
  // Static frames answer at any time.
  EXPECT_NO_THROW(buffer.lookupTransform("base", "laser", at(1234)));
  EXPECT_FALSE(buffer.canTransform("odom", "base", at(6)));
  EXPECT_TRUE(buffer.canTransform("odom", "base", at(5)));
}

TEST_F(BufferCoreChain, CanTransformAgreesWithLookup)
{
  EXPECT_TRUE(buffer.canTransform("map", "laser", tf2::TimePointZero));
  EXPECT_TRUE(buffer.canTransform("laser", "map", tf2::TimePointZero));
  EXPECT_FALSE(buffer.canTransform("", "map", tf2::TimePointZero));
}

TEST_F(BufferCoreChain, FrameNamesIncludeParentOnlyFrames)
{
  std::vector<std::string> names = buffer.getAllFrameNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"base", "laser", "map", "odom"}));
  EXPECT_NE(buffer.allFramesAsString().find("Frame laser exists with parent base."), std::string::npos);
  EXPECT_NE(buffer.allFramesAsYAML().find("parent: 'odom'"), std::string::npos);
}

TEST_F(BufferCoreChain, ClearDropsDynamicDataButKeepsStaticData)
{
  buffer.clear();
  EXPECT_NO_THROW(buffer.lookupTransform("base", "laser", tf2::TimePointZero));
  EXPECT_THROW(buffer.lookupTransform("odom", "laser", tf2::TimePointZero), tf2::TransformException);
}

TEST_F(BufferCoreChain, FiveArgumentLookupGoesThroughTheFixedFrame)
{
  const auto t = buffer.lookupTransform("laser", at(5), "odom", at(5), "map");
  EXPECT_NEAR(t.transform.translation.x, 0.5, 1e-12);
  EXPECT_NEAR(t.transform.translation.y, -1.0, 1e-12);
  EXPECT_TRUE(buffer.canTransform("laser", at(5), "odom", at(5), "map"));
  EXPECT_FALSE(buffer.canTransform("laser", at(7), "odom", at(5), "map"));
}

TEST(BufferCoreTime, InterpolatesBetweenSamples)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(make_transform("odom", "base", 0.0, 0.0, 0.0, 1), "test"));
  ASSERT_TRUE(buffer.setTransform(make_transform("odom", "base", 2.0, 4.0, 1.0, 2), "test"));
  const auto middle = buffer.lookupTransform("odom", "base", at(1.5));
  EXPECT_NEAR(middle.transform.translation.x, 1.0, 1e-12);
  EXPECT_NEAR(middle.transform.translation.y, 2.0, 1e-12);
  EXPECT_NEAR(yaw_of(middle.transform.rotation), 0.5, 1e-12);
  EXPECT_EQ(middle.header.stamp.sec, 1);
  EXPECT_EQ(middle.header.stamp.nanosec, 500000000u);
  EXPECT_NEAR(buffer.lookupTransform("odom", "base", tf2::TimePointZero).transform.translation.x, 2.0, 0);
}

TEST(BufferCoreTime, LatestCommonTimeIsTheOldestNewestStampOfTheChain)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(make_transform("a", "b", 0, 0, 0, 10), "test"));
  ASSERT_TRUE(buffer.setTransform(make_transform("a", "b", 1, 0, 0, 12), "test"));
  ASSERT_TRUE(buffer.setTransform(make_transform("b", "c", 0, 0, 0, 11), "test"));
  const auto t = buffer.lookupTransform("a", "c", tf2::TimePointZero);
  EXPECT_EQ(t.header.stamp.sec, 11);
  EXPECT_NEAR(t.transform.translation.x, 0.5, 1e-12);
}

TEST(BufferCoreTime, DataOlderThanTheCacheIsRejectedAndPruned)
{
  tf2::BufferCore buffer(std::chrono::seconds(2));
  EXPECT_EQ(buffer.getCacheLength(), std::chrono::seconds(2));
  ASSERT_TRUE(buffer.setTransform(make_transform("odom", "base", 0, 0, 0, 100), "test"));
  ASSERT_TRUE(buffer.setTransform(make_transform("odom", "base", 1, 0, 0, 101), "test"));
  EXPECT_FALSE(buffer.setTransform(make_transform("odom", "base", 0, 0, 0, 97), "test"));
  ASSERT_TRUE(buffer.setTransform(make_transform("odom", "base", 2, 0, 0, 103), "test"));
  // t = 100 fell out of the 2 s window behind t = 103.
  EXPECT_THROW(buffer.lookupTransform("odom", "base", at(100.5)), tf2::ExtrapolationException);
  EXPECT_NO_THROW(buffer.lookupTransform("odom", "base", at(101.5)));
}

TEST(BufferCoreSetTransform, RejectsMalformedTransforms)
{
  tf2::BufferCore buffer;
  auto nan_value = make_transform("a", "b", 0, 0, 0);
  nan_value.transform.translation.x = std::nan("");
  auto not_unit = make_transform("a", "b", 0, 0, 0);
  not_unit.transform.rotation.w = 2.0;
  EXPECT_FALSE(buffer.setTransform(make_transform("a", "a", 0, 0, 0), "test"));
  EXPECT_FALSE(buffer.setTransform(make_transform("", "b", 0, 0, 0), "test"));
  EXPECT_FALSE(buffer.setTransform(make_transform("a", "", 0, 0, 0), "test"));
  EXPECT_FALSE(buffer.setTransform(nan_value, "test"));
  EXPECT_FALSE(buffer.setTransform(not_unit, "test"));
  EXPECT_TRUE(buffer.getAllFrameNames().empty());
}

TEST(BufferCoreSetTransform, LeadingSlashIsStrippedWhenStoring)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(make_transform("/a", "/b", 1, 0, 0), "test", true));
  EXPECT_EQ(buffer.lookupTransform("a", "b", tf2::TimePointZero).transform.translation.x, 1.0);
}

TEST(BufferCoreSetTransform, StaticDataIsReplacedAndFramesMayBeReparented)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(make_transform("a", "b", 1, 0, 0), "test", true));
  ASSERT_TRUE(buffer.setTransform(make_transform("a", "b", 2, 0, 0), "test", true));
  EXPECT_EQ(buffer.lookupTransform("a", "b", tf2::TimePointZero).transform.translation.x, 2.0);
  ASSERT_TRUE(buffer.setTransform(make_transform("c", "b", 3, 0, 0), "test", true));
  EXPECT_EQ(buffer.lookupTransform("c", "b", tf2::TimePointZero).transform.translation.x, 3.0);
  EXPECT_THROW(buffer.lookupTransform("a", "b", tf2::TimePointZero), tf2::ConnectivityException);
}

TEST(BufferCoreSetTransform, LoopInTheTreeEndsTheWalk)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(make_transform("a", "b", 1, 0, 0), "test", true));
  ASSERT_TRUE(buffer.setTransform(make_transform("b", "a", 1, 0, 0), "test", true));
  ASSERT_TRUE(buffer.setTransform(make_transform("x", "y", 1, 0, 0), "test", true));
  EXPECT_THROW(buffer.lookupTransform("y", "a", tf2::TimePointZero), tf2::LookupException);
  EXPECT_FALSE(buffer.canTransform("y", "a", tf2::TimePointZero));
}

TEST(BufferCoreThreads, LookupsWhileAnotherThreadWrites)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(make_transform("base", "laser", 0.5, 0, 0), "test", true));
  std::atomic<bool> writing{true};
  std::thread writer([&]() {
      for (int32_t sec = 1; sec <= 2000; ++sec) {
        buffer.setTransform(make_transform("odom", "base", sec, 0, 0, sec), "test");
      }
      writing = false;
    });
  int successes = 0;
  while (writing || successes == 0) {
    try {
      const auto t = buffer.lookupTransform("odom", "laser", tf2::TimePointZero);
      // The stamp and the translation must come from the same sample.
      EXPECT_DOUBLE_EQ(t.transform.translation.x, t.header.stamp.sec + 0.5);
      ++successes;
    } catch (const tf2::TransformException &) {
      // odom unknown until the writer's first sample
    }
  }
  writer.join();
  EXPECT_GT(successes, 0);
}

TEST(Tf2Time, ConversionsRoundTrip)
{
  EXPECT_EQ(tf2::durationFromSec(1.5), std::chrono::milliseconds(1500));
  EXPECT_EQ(tf2::durationFromSec(-0.25), std::chrono::milliseconds(-250));
  EXPECT_DOUBLE_EQ(tf2::durationToSec(std::chrono::milliseconds(-1250)), -1.25);
  EXPECT_DOUBLE_EQ(tf2::timeToSec(tf2::timeFromSec(12.000000001)), 12.000000001);
  EXPECT_EQ(tf2::displayTimePoint(tf2::timeFromSec(2.5)), "2.500000");
  EXPECT_EQ(tf2::TimePointZero.time_since_epoch().count(), 0);
  // Unrepresentable seconds are clamped, not undefined behaviour.
  EXPECT_EQ(tf2::durationFromSec(std::nan("")), tf2::Duration::zero());
  EXPECT_GT(tf2::durationFromSec(1e300), std::chrono::seconds(2000000000));
}
