// Entry of the program align_node.
#include <exception>
#include <memory>

#include "align_model_node/align_node.hpp"
#include "rclcpp/rclcpp.hpp"

int main(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  rclcpp::executors::SingleThreadedExecutor executor;

  std::shared_ptr<align_node::AlignNode> node;
  try {
    node = std::make_shared<align_node::AlignNode>(rclcpp::NodeOptions());
  } catch (const std::exception & error) {
    // A wrong-typed parameter override or an invalid name: report it and end
    // without spinning instead of aborting.
    const rclcpp::Logger logger = rclcpp::get_logger("align_node");
    RCLCPP_FATAL(logger, "%s", error.what());
    rclcpp::shutdown();
    return 1;
  }

  executor.add_node(node);
  executor.spin();
  rclcpp::shutdown();
  return 0;
}
