#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>

#include "align_model/static_frame_listener.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::StaticFrameListener;

class StaticFrameListenerTest : public ::testing::Test
{
protected:
  StaticFrameListenerTest()
  : owner_(std::make_shared<rclcpp::Node>("frame_listener_owner")),
    listener_(std::make_unique<StaticFrameListener>(owner_.get())) {}

  void TearDown() override
  {
    listener_.reset();
    // No worker of this test may outlive it into the next one.
    EXPECT_TRUE(StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
  }

  bool wait_until_stored(const std::string & target, const std::string & source)
  {
    return harness_.spin_until([&] {return listener_->is_stored(target, source);});
  }

  align_test::NodeHarness harness_;
  rclcpp::Node::SharedPtr owner_;
  std::unique_ptr<StaticFrameListener> listener_;
};

TEST(TransformKey, JoinsSourceAndTargetSoThatSomePairsCollide)
{
  EXPECT_EQ(align_model::transform_key("base_footprint", "laser"), "laser_base_footprint");
  EXPECT_EQ(align_model::transform_key("c", "a_b"), align_model::transform_key("b_c", "a"));
}

TEST_F(StaticFrameListenerTest, StartsNoThreadUntilAsked)
{
  EXPECT_FALSE(listener_->is_stored("base", "laser"));
  EXPECT_FALSE(listener_->is_stored("base", "laser"));
  EXPECT_EQ(listener_->worker_starts(), 0u);
  EXPECT_FALSE(listener_->is_worker_running());
}

TEST_F(StaticFrameListenerTest, FirstQueryFailsAndStartsAWorkerThatStoresIt)
{
  EXPECT_FALSE(listener_->has_transform("laser", "laser"));
  EXPECT_EQ(listener_->worker_starts(), 1u);
  ASSERT_TRUE(wait_until_stored("laser", "laser"));
  EXPECT_TRUE(listener_->has_transform("laser", "laser"));

  const tf2::Transform identity = listener_->get_transform("laser", "laser");
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      EXPECT_DOUBLE_EQ(identity.getBasis()[row][column], row == column ? 1.0 : 0.0);
    }
  }
  EXPECT_DOUBLE_EQ(identity.getOrigin().x(), 0.0);
  EXPECT_DOUBLE_EQ(identity.getOrigin().y(), 0.0);

  ASSERT_TRUE(harness_.spin_until([&] {return !listener_->is_worker_running();}));
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(listener_->has_transform("laser", "laser"));
  }
  EXPECT_EQ(listener_->worker_starts(), 1u);
}

TEST_F(StaticFrameListenerTest, StoresAStaticTransformAsRotationAndTranslation)
{
  feature_test::LaserMount mount;
  mount.x = 1.0;
  mount.y = 2.0;
  mount.yaw = M_PI / 2.0;
  feature_test::publish_static_transform(harness_, feature_test::make_mount_transform("c", "a_b", mount));

  EXPECT_FALSE(listener_->has_transform("c", "a_b"));
  ASSERT_TRUE(wait_until_stored("c", "a_b"));
  const tf2::Transform transform = listener_->get_transform("c", "a_b");
  EXPECT_NEAR(transform.getBasis()[0][0], 0.0, 1e-12);
  EXPECT_NEAR(transform.getBasis()[0][1], -1.0, 1e-12);
  EXPECT_NEAR(transform.getBasis()[1][0], 1.0, 1e-12);
  EXPECT_NEAR(transform.getBasis()[1][1], 0.0, 1e-12);
  EXPECT_DOUBLE_EQ(transform.getOrigin().x(), 1.0);
  EXPECT_DOUBLE_EQ(transform.getOrigin().y(), 2.0);

  // Another pair with the same key shares the entry and needs no worker.
  EXPECT_TRUE(listener_->has_transform("b_c", "a"));
  EXPECT_EQ(listener_->worker_starts(), 1u);
}

TEST_F(StaticFrameListenerTest, ASecondPairWaitsWhileAWorkerRuns)
{
  EXPECT_FALSE(listener_->has_transform("base", "frame_nobody_publishes"));
  ASSERT_TRUE(harness_.spin_until([&] {return listener_->is_worker_running();}));

  EXPECT_FALSE(listener_->has_transform("other", "other"));
  EXPECT_EQ(listener_->worker_starts(), 1u);
  EXPECT_FALSE(listener_->is_stored("other", "other"));
}

TEST_F(StaticFrameListenerTest, DestroyingTheListenerStopsItsWorkerWithoutWaiting)
{
  EXPECT_FALSE(listener_->has_transform("base", "frame_nobody_publishes"));
  ASSERT_TRUE(harness_.spin_until([&] {return listener_->is_worker_running();}));

  const auto before = std::chrono::steady_clock::now();
  listener_.reset();
  owner_.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
  // The worker notices the request at its next retry, long before its 5 s.
  EXPECT_TRUE(StaticFrameListener::wait_for_workers(std::chrono::seconds(2)));
}

}  // namespace
