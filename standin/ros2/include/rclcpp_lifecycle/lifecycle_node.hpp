// Stand-in for rclcpp_lifecycle/lifecycle_node.hpp: the members a plugin of
// a lifecycle node (a dock of Nav2's docking server) uses. Like the real
// class, it is no rclcpp::Node; it holds one and forwards to it. The state
// machine and its transitions are left out: the server drives its plugins'
// configure and activate itself.
#ifndef RCLCPP_LIFECYCLE__LIFECYCLE_NODE_HPP_
#define RCLCPP_LIFECYCLE__LIFECYCLE_NODE_HPP_

#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rclcpp_lifecycle/lifecycle_publisher.hpp"

namespace rclcpp_lifecycle
{

class LifecycleNode : public std::enable_shared_from_this<LifecycleNode>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(LifecycleNode)

  explicit LifecycleNode(const std::string & node_name, const rclcpp::NodeOptions & options = rclcpp::NodeOptions())
  : node_(std::make_shared<rclcpp::Node>(node_name, options)) {}
  LifecycleNode(
    const std::string & node_name, const std::string & namespace_,
    const rclcpp::NodeOptions & options = rclcpp::NodeOptions())
  : node_(std::make_shared<rclcpp::Node>(node_name, namespace_, options)) {}

  const char * get_name() const {return node_->get_name();}
  const char * get_namespace() const {return node_->get_namespace();}
  rclcpp::Logger get_logger() const {return node_->get_logger();}
  rclcpp::Clock::SharedPtr get_clock() {return node_->get_clock();}
  rclcpp::Time now() const {return node_->now();}
  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr get_node_base_interface()
  {
    return node_->get_node_base_interface();
  }

  template<typename MessageT, typename AllocatorT = std::allocator<void>>
  std::shared_ptr<LifecyclePublisher<MessageT, AllocatorT>>
  create_publisher(const std::string & topic_name, const rclcpp::QoS & qos)
  {
    return node_->create_publisher<MessageT, AllocatorT, LifecyclePublisher<MessageT, AllocatorT>>(topic_name, qos);
  }

  template<typename MessageT, typename CallbackT>
  std::shared_ptr<rclcpp::Subscription<MessageT>>
  create_subscription(const std::string & topic_name, const rclcpp::QoS & qos, CallbackT && callback)
  {
    return node_->create_subscription<MessageT>(topic_name, qos, std::forward<CallbackT>(callback));
  }

  template<typename DurationRepT = int64_t, typename DurationT = std::milli, typename CallbackT>
  typename rclcpp::WallTimer<CallbackT>::SharedPtr
  create_wall_timer(
    std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
    rclcpp::CallbackGroup::SharedPtr group = nullptr)
  {
    return node_->create_wall_timer(period, std::move(callback), group);
  }

  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name, const rclcpp::ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false)
  {
    return node_->declare_parameter(name, default_value, parameter_descriptor, ignore_override);
  }
  template<typename ParameterT>
  auto declare_parameter(
    const std::string & name, const ParameterT & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false)
  {
    return node_->declare_parameter(name, default_value, parameter_descriptor, ignore_override);
  }
  bool has_parameter(const std::string & name) const {return node_->has_parameter(name);}
  rclcpp::Parameter get_parameter(const std::string & name) const {return node_->get_parameter(name);}

  size_t count_publishers(const std::string & topic_name) const {return node_->count_publishers(topic_name);}
  size_t count_subscribers(const std::string & topic_name) const {return node_->count_subscribers(topic_name);}

private:
  std::shared_ptr<rclcpp::Node> node_;
};

}  // namespace rclcpp_lifecycle

#endif  // RCLCPP_LIFECYCLE__LIFECYCLE_NODE_HPP_
