// The interleaved latency run: every target gets the same share of scans in
// an order that changes from round to round, replies count only for the
// scan they answer, the ratios to the floor and their spread, and the probe
// as a component whose callbacks another thread's executor runs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "align_latency/container_probe.hpp"
#include "align_latency/interleaved_report.hpp"
#include "align_latency/latency_probe.hpp"
#include "align_latency/probe_schedule.hpp"
#include "align_latency/scan_relay.hpp"
#include "align_model_node/align_node.hpp"
#include "feature/feature_node.hpp"
#include "support/node_harness.hpp"

namespace
{

using align_latency::ProbeTarget;
using align_latency::ReplyKind;
using namespace std::chrono_literals;

TEST(ProbeSchedule, EveryRoundSendsToEveryTargetOnceInAnOrderOfItsOwn)
{
  const auto schedule = align_latency::interleaved_schedule(3, 200, 7);
  ASSERT_EQ(schedule.size(), 600u);
  std::set<std::vector<std::size_t>> orders;
  std::vector<std::size_t> firsts(3, 0);
  for (std::size_t round = 0; round < 200; ++round) {
    std::vector<std::size_t> order(schedule.begin() + 3 * round, schedule.begin() + 3 * round + 3);
    ++firsts[order[0]];
    orders.insert(order);
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2})) << "round " << round;
  }
  // All six orders occur, and each target leads a fair share of the rounds.
  EXPECT_EQ(orders.size(), 6u);
  for (const std::size_t leads : firsts) {
    EXPECT_GT(leads, 40u);
  }
  EXPECT_EQ(schedule, align_latency::interleaved_schedule(3, 200, 7));
  EXPECT_NE(schedule, align_latency::interleaved_schedule(3, 200, 8));
  EXPECT_EQ(align_latency::interleaved_schedule(1, 4, 1), (std::vector<std::size_t>{0, 0, 0, 0}));
}

TEST(RatioToFloor, ComparesTheSameRoundsAndShowsTheSpreadOverBlocks)
{
  std::vector<align_latency::TimedSample> floor;
  std::vector<align_latency::TimedSample> target;
  for (std::size_t round = 0; round < 100; ++round) {
    floor.push_back({round, 100.0});
    // 1.5 times the floor, but twice in the last fifth of the run.
    target.push_back({round, round < 80 ? 150.0 : 200.0});
  }
  const auto ratio = align_latency::ratio_to_floor(target, floor, 100, 5);
  EXPECT_DOUBLE_EQ(ratio.median, 1.5);
  EXPECT_DOUBLE_EQ(ratio.p90, 2.0);
  EXPECT_EQ(ratio.blocks, 5u);
  EXPECT_DOUBLE_EQ(ratio.block_median_min, 1.5);
  EXPECT_DOUBLE_EQ(ratio.block_median_max, 2.0);
  EXPECT_NEAR(ratio.block_median_sd, 0.2, 1e-12);
  // The floor against itself: 1 everywhere, no spread.
  const auto self = align_latency::ratio_to_floor(floor, floor, 100, 5);
  EXPECT_DOUBLE_EQ(self.median, 1.0);
  EXPECT_DOUBLE_EQ(self.block_median_sd, 0.0);
  EXPECT_EQ(align_latency::ratio_to_floor(target, {}, 100, 5).median, 0.0);
}

TEST(ProbeTargets, ParseLabelPrefixAndReply)
{
  const ProbeTarget target = align_latency::parse_target("align_scan_relay (floor)=/relay:scan");
  EXPECT_EQ(target.label, "align_scan_relay (floor)");
  EXPECT_EQ(target.prefix, "/relay");
  EXPECT_EQ(target.reply, ReplyKind::kScan);
  EXPECT_EQ(align_latency::parse_target("f=/feature:pose").reply, ReplyKind::kPose);
  for (const char * bad : {"f/feature:pose", "f=/feature:twist", "=/x:pose", "f=/feature"}) {
    EXPECT_THROW(align_latency::parse_target(bad), std::invalid_argument) << bad;
  }
}

// The bundled approach's parameters, and the program's topics moved under
// `prefix`.
rclcpp::NodeOptions program_options(const std::string & prefix)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides(
  {
    {"min_angle", -1.5}, {"max_angle", 1.5}, {"min_intensity", 250.0}, {"max_intensity", 255.0},
    {"min_range", 0.05}, {"max_range", 2.0}, {"threshold_split", 0.02}, {"points_max_distance", 0.05},
    {"min_line_len", 0.15}, {"max_line_len", 0.4}, {"target_angle", 1.047}, {"angle_error", 0.2},
    {"laser_to_base_x", -0.102}, {"laser_to_base_y", 0.0}, {"laser_to_base_th", 3.141592653589793},
    {"scan_topic", prefix + "/back_scan"}, {"pose_stamped_topic", prefix + "/docking_pose"}});
  return options;
}

rclcpp::NodeOptions relay_options(const std::string & prefix)
{
  rclcpp::NodeOptions options;
  options.arguments(
    {"--ros-args", "-r", "back_scan:=" + prefix + "/back_scan", "-r",
      "back_scan_relayed:=" + prefix + "/back_scan_relayed"});
  return options;
}

class InterleavedProbeTest : public ::testing::Test
{
protected:
  void SetUp() override {align_test::init_ros_for_test();}
  void TearDown() override
  {
    for (const auto & node : nodes_) {
      executor_.remove_node(node);
    }
  }
  template<typename NodeT>
  std::shared_ptr<NodeT> add(const std::shared_ptr<NodeT> & node)
  {
    nodes_.push_back(node);
    executor_.add_node(node);
    return node;
  }

  rclcpp::executors::SingleThreadedExecutor executor_;
  std::vector<rclcpp::Node::SharedPtr> nodes_;
};

TEST_F(InterleavedProbeTest, TimesTheRelayAndBothProgramsInOneRun)
{
  add(std::make_shared<align_latency::ScanRelay>(relay_options("/relay")));
  add(std::make_shared<align_model::FeatureNode>(program_options("/feature")));
  add(std::make_shared<align_node::AlignNode>(program_options("/line")));
  const std::vector<ProbeTarget> targets = {
    {"relay", "/relay", ReplyKind::kScan}, {"feature", "/feature", ReplyKind::kPose},
    {"line", "/line", ReplyKind::kPose}};
  auto probe = add(std::make_shared<align_latency::LatencyProbe>(targets, 1081));
  ASSERT_TRUE(probe->wait_for_peer(executor_, 5s));
  // The feature program answers once it holds the mount from /tf_static.
  ASSERT_TRUE(probe->warm_up(executor_, 100ms, 10s));
  const auto runs = probe->measure_interleaved(&executor_, 10, 2ms, 2s, 3);
  ASSERT_EQ(runs.size(), 3u);
  for (const auto & run : runs) {
    EXPECT_EQ(run.sent, 10u);
    EXPECT_EQ(run.lost, 0u);
    ASSERT_EQ(run.samples.size(), 10u);
    for (std::size_t i = 0; i < run.samples.size(); ++i) {
      EXPECT_EQ(run.samples[i].round, i);
      EXPECT_GT(run.samples[i].latency_us, 0.0);
    }
  }
  const auto lines = align_latency::interleaved_report(targets, runs, 10, 5, 1081);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find("\"label\": \"relay\", \"reply\": \"scan\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("\"median_ratio\": 1.000"), std::string::npos) << lines[0];
  EXPECT_NE(lines[2].find("\"samples\": 10,"), std::string::npos) << lines[2];
}

// Answers on /b every scan sent to /a, with the scan's own stamp: replies
// that arrive on a target's topic but belong to another target's scan.
class CrossTalker : public rclcpp::Node
{
public:
  CrossTalker()
  : rclcpp::Node("cross_talker")
  {
    publisher_ = create_publisher<sensor_msgs::msg::LaserScan>("/b/back_scan_relayed", rclcpp::QoS(1));
    subscription_ = create_subscription<sensor_msgs::msg::LaserScan>(
      "/a/back_scan", rclcpp::QoS(1),
      [this](sensor_msgs::msg::LaserScan::ConstSharedPtr scan) {publisher_->publish(*scan);});
    // Takes /b's scans too, so that the probe sees a peer there, but never answers them.
    sink_ = create_subscription<sensor_msgs::msg::LaserScan>(
      "/b/back_scan", rclcpp::QoS(1), [](sensor_msgs::msg::LaserScan::ConstSharedPtr) {});
  }

private:
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr publisher_;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr subscription_;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr sink_;
};

TEST_F(InterleavedProbeTest, RepliesCountOnlyForScansOfTheirOwnTarget)
{
  add(std::make_shared<align_latency::ScanRelay>(relay_options("/a")));
  add(std::make_shared<CrossTalker>());
  const std::vector<ProbeTarget> targets = {{"a", "/a", ReplyKind::kScan}, {"b", "/b", ReplyKind::kScan}};
  auto probe = add(std::make_shared<align_latency::LatencyProbe>(targets, 100));
  ASSERT_TRUE(probe->wait_for_peer(executor_, 5s));
  const auto runs = probe->measure_interleaved(&executor_, 6, 2ms, 50ms, 1);
  EXPECT_EQ(runs[0].lost, 0u);
  EXPECT_EQ(runs[0].samples.size(), 6u);
  // Every reply on /b answered a scan sent to /a: none is b's.
  EXPECT_EQ(runs[1].sent, 6u);
  EXPECT_EQ(runs[1].lost, 6u);
  EXPECT_TRUE(runs[1].samples.empty());
}

TEST_F(InterleavedProbeTest, TheComponentRunsWhileAnotherThreadSpinsItsCallbacks)
{
  const std::string output =
    (std::filesystem::temp_directory_path() / ("container_probe_" + std::to_string(::getpid()) + ".json")).string();
  add(std::make_shared<align_latency::ScanRelay>(relay_options("/relay")));
  rclcpp::NodeOptions options;
  options.parameter_overrides(
  {
    {"targets", std::vector<std::string>{"floor=/relay:scan"}}, {"count", 20}, {"period_ms", 2.0},
    {"readings", 200}, {"output", output}, {"shutdown_when_done", false}});
  // As in a container: built from the container's options, and the
  // container's executor runs its callbacks.
  auto probe = std::make_unique<align_latency::ContainerProbe>(options);
  executor_.add_node(probe->get_node_base_interface());
  std::thread container([this] {executor_.spin();});
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (!probe->done() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
  }
  executor_.cancel();
  container.join();
  ASSERT_TRUE(probe->done());
  executor_.remove_node(probe->get_node_base_interface());
  probe.reset();
  std::ifstream in(output);
  std::string line;
  std::getline(in, line);
  std::filesystem::remove(output);
  EXPECT_NE(line.find("\"label\": \"floor\""), std::string::npos) << line;
  // A reply later than the period counts as lost, which a loaded machine may
  // cause now and then: what matters here is that every scan went out and
  // replies came back.
  std::smatch counts;
  ASSERT_TRUE(std::regex_search(
      line, counts, std::regex("\"sent\": (\\d+), \"lost\": (\\d+), \"samples\": (\\d+),"))) << line;
  EXPECT_EQ(std::stoul(counts[1]), 20u) << line;
  EXPECT_EQ(std::stoul(counts[2]) + std::stoul(counts[3]), 20u) << line;
  EXPECT_GT(std::stoul(counts[3]), 0u) << line;
}

TEST(ProbeComponent, BadParametersNameTheParameter)
{
  EXPECT_THROW(align_latency::container_probe_settings({}), std::invalid_argument);
  EXPECT_THROW(
    align_latency::container_probe_settings({{"targets", std::vector<std::string>{"relay"}}}),
    std::invalid_argument);
  const auto settings = align_latency::container_probe_settings(
    {{"targets", std::vector<std::string>{"a=/a:scan", "b=/b:pose"}}, {"count", 5}, {"seed", 4}});
  EXPECT_EQ(settings.targets.size(), 2u);
  EXPECT_EQ(settings.rounds, 5u);
  EXPECT_EQ(settings.seed, 4u);
}

}  // namespace
