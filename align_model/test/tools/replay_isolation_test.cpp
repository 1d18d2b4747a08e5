// The replay program keeps to itself: replays running at the same time, or a
// replay beside live nodes on the same machine and domain, neither hear nor
// are heard. Each replay's output is the same as when it runs alone, and a
// live participant on the user's domain receives none of its scans, clock or
// transforms.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "geometry_msgs/msg/pose_stamped.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "support/bundled_files.hpp"
#include "support/node_harness.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

namespace fs = std::filesystem;

namespace
{

using align_test::kBundledData;
using align_test::read_text;

// The shell command of one replay of the bundled approach, writing its
// stdout to `out`.
std::string replay_command(const std::string & node, const std::string & out)
{
  return std::string(ALIGN_REPLAY_BINARY) + " --node " + node + " " + kBundledData + "/docking_approach" +
         " --tf -0.102 0 3.141592653589793 --ros-args --params-file " + kBundledData +
         "/docking_approach.params.yaml >" + out + " 2>" + out + ".err";
}

// A stand-in for the live system: listens where the replay publishes and
// publishes where the replay listens, on the domain the user's shell names.
class LiveSystem
{
public:
  // Marks the live system's own scans, which it hears itself.
  static constexpr const char * kLiveFrame = "live_laser";

  // `domain`: the one the user's shell names, where replays would talk
  // without their isolation.
  explicit LiveSystem(std::size_t domain)
  : context_(std::make_shared<rclcpp::Context>())
  {
    rclcpp::InitOptions init_options;
    init_options.set_domain_id(domain);
    init_options.auto_initialize_logging(false);
    init_options.shutdown_on_signal = false;
    context_->init(0, nullptr, init_options);
    // Executors need a valid context: made after the init.
    executor_ = std::make_unique<rclcpp::executors::SingleThreadedExecutor>(executor_options(context_));
    node_ = std::make_shared<rclcpp::Node>("live_system", rclcpp::NodeOptions().context(context_));
    scans_ = node_->create_subscription<sensor_msgs::msg::LaserScan>(
      "back_scan", rclcpp::QoS(10), [this](std::shared_ptr<const sensor_msgs::msg::LaserScan> scan) {
        heard_ += scan->header.frame_id == kLiveFrame ? 0 : 1;
      });
    clock_ = node_->create_subscription<rosgraph_msgs::msg::Clock>(
      "/clock", rclcpp::QoS(10), [this](std::shared_ptr<const rosgraph_msgs::msg::Clock>) {++heard_;});
    transforms_ = node_->create_subscription<tf2_msgs::msg::TFMessage>(
      "/tf_static", rclcpp::QoS(100).transient_local(),
      [this](std::shared_ptr<const tf2_msgs::msg::TFMessage>) {++heard_;});
    poses_ = node_->create_publisher<geometry_msgs::msg::PoseStamped>("docking_pose", rclcpp::QoS(1));
    live_scans_ = node_->create_publisher<sensor_msgs::msg::LaserScan>("back_scan", rclcpp::QoS(1));
    executor_->add_node(node_);
    spinner_ = std::thread([this] {
        while (running_) {
          // Live traffic the replay must not pick up.
          geometry_msgs::msg::PoseStamped pose;
          pose.header.frame_id = "base_footprint";
          pose.pose.position.x = 9.0;
          poses_->publish(pose);
          sensor_msgs::msg::LaserScan scan;
          scan.header.frame_id = kLiveFrame;
          live_scans_->publish(scan);
          executor_->spin_some();
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
      });
  }
  ~LiveSystem()
  {
    running_ = false;
    spinner_.join();
    executor_->remove_node(node_);
    scans_.reset();
    clock_.reset();
    transforms_.reset();
    poses_.reset();
    live_scans_.reset();
    node_.reset();
    context_->shutdown("test done");
  }

  // Replay messages this node received.
  int heard() const {return heard_;}

private:
  static rclcpp::ExecutorOptions executor_options(const rclcpp::Context::SharedPtr & context)
  {
    rclcpp::ExecutorOptions options;
    options.context = context;
    return options;
  }

  rclcpp::Context::SharedPtr context_;
  std::unique_ptr<rclcpp::executors::SingleThreadedExecutor> executor_;
  rclcpp::Node::SharedPtr node_;
  rclcpp::SubscriptionBase::SharedPtr scans_;
  rclcpp::SubscriptionBase::SharedPtr clock_;
  rclcpp::SubscriptionBase::SharedPtr transforms_;
  rclcpp::Publisher<geometry_msgs::msg::PoseStamped>::SharedPtr poses_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr live_scans_;
  std::atomic<bool> running_{true};
  std::atomic<int> heard_{0};
  std::thread spinner_;
};

TEST(ReplayIsolation, ConcurrentReplaysAndALiveSystemChangeNoByte)
{
  // The user's domain: ROS_DOMAIN_ID as this test program claimed it, which
  // the replays inherit.
  align_test::init_ros_for_test();
  ASSERT_NE(std::getenv("ROS_DOMAIN_ID"), nullptr);
  const std::string base =
    (fs::temp_directory_path() / ("align_replay_isolation_" + std::to_string(::getpid()))).string();
  for (const std::string node : {"feature", "line"}) {
    ASSERT_EQ(std::system(replay_command(node, base + "." + node + ".solo").c_str()), 0) <<
      read_text(base + "." + node + ".solo.err");
  }
  const std::string solo_feature = read_text(base + ".feature.solo");
  const std::string solo_line = read_text(base + ".line.solo");
  ASSERT_NE(solo_feature.find("geometry_msgs/msg/PoseStamped"), std::string::npos);

  int heard = 0;
  {
    LiveSystem live(static_cast<std::size_t>(std::stoul(std::getenv("ROS_DOMAIN_ID"))));
    // Two feature replays and a line replay at once, beside the live system.
    const std::string together = "(" + replay_command("feature", base + ".a") + ") & (" +
      replay_command("feature", base + ".b") + ") & (" + replay_command("line", base + ".c") +
      ") & wait";
    ASSERT_EQ(std::system(together.c_str()), 0);
    heard = live.heard();
  }
  EXPECT_EQ(read_text(base + ".a"), solo_feature) << read_text(base + ".a.err");
  EXPECT_EQ(read_text(base + ".b"), solo_feature) << read_text(base + ".b.err");
  EXPECT_EQ(read_text(base + ".c"), solo_line) << read_text(base + ".c.err");
  EXPECT_EQ(heard, 0) << "the live system received the replay's messages";
  for (const auto & entry : fs::directory_iterator(fs::temp_directory_path())) {
    if (entry.path().string().rfind(base, 0) == 0) {
      fs::remove(entry.path());
    }
  }
}

}  // namespace
