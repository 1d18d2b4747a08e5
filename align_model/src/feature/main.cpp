#include <chrono>
#include <exception>
#include <memory>

#include "feature/feature_node.hpp"
#include "rclcpp/rclcpp.hpp"

int main(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  rclcpp::executors::SingleThreadedExecutor executor;

  std::shared_ptr<align_model::FeatureNode> node;
  try {
    node = std::make_shared<align_model::FeatureNode>(rclcpp::NodeOptions());
  } catch (const std::exception & error) {
    // A bad configuration ends the program before it spins, with a message
    // instead of an abort.
    const rclcpp::Logger logger = rclcpp::get_logger("align_feature_node");
    RCLCPP_FATAL(logger, "%s", error.what());
    rclcpp::shutdown();
    return 1;
  }

  executor.add_node(node);
  executor.spin();
  rclcpp::shutdown();
  node.reset();
  // A frame listener worker may still be tearing down its transform listener;
  // let it finish before the process exits beneath it (it stops within a few
  // tens of milliseconds once asked).
  align_model::StaticFrameListener::wait_for_workers(std::chrono::milliseconds(1000));
  return 0;
}
