// Stand-in for rclcpp/subscription.hpp.
#ifndef STANDIN_RCLCPP__SUBSCRIPTION_HPP_
#define STANDIN_RCLCPP__SUBSCRIPTION_HPP_

#include <memory>
#include <typeindex>
#include <utility>

#include "rclcpp/any_subscription_callback.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/message_info.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace rclcpp
{
namespace message_memory_strategy
{

// Only the type name is needed: create_subscription's last parameter is of it.
template<typename MessageT, typename Alloc = std::allocator<void>>
class MessageMemoryStrategy
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(MessageMemoryStrategy)
  static SharedPtr create_default() {return std::make_shared<MessageMemoryStrategy>();}
};

}  // namespace message_memory_strategy

template<typename MessageT, typename AllocatorT = std::allocator<void>>
class Subscription : public SubscriptionBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Subscription)

  using MessageMemoryStrategyType =
    message_memory_strategy::MessageMemoryStrategy<MessageT, AllocatorT>;
  using ROSMessageType = MessageT;

  // Built by Node::create_subscription, which also registers it in the graph.
  Subscription(
    const std::string & fully_qualified_topic, const rclcpp::QoS & qos,
    AnySubscriptionCallback<MessageT, AllocatorT> callback,
    const SubscriptionOptionsWithAllocator<AllocatorT> & options,
    std::uint64_t node_id, std::shared_ptr<detail::NodeNotifier> notifier)
  : SubscriptionBase(
      make_endpoint(fully_qualified_topic, qos, options, node_id), std::move(notifier)),
    callback_(std::move(callback))
  {}

protected:
  void dispatch(const detail::ErasedMessage & message, const rclcpp::MessageInfo & info) override
  {
    // The graph delivers only messages whose C++ type matched this one.
    callback_.dispatch(std::static_pointer_cast<const MessageT>(message), info);
  }

private:
  static detail::TopicEndpoint make_endpoint(
    const std::string & topic, const rclcpp::QoS & qos,
    const SubscriptionOptionsWithAllocator<AllocatorT> & options, std::uint64_t node_id)
  {
    detail::TopicEndpoint endpoint;
    endpoint.topic = topic;
    endpoint.type = rosidl_generator_traits::name<MessageT>();
    endpoint.cpp_type = std::type_index(typeid(MessageT));
    endpoint.qos = qos.get_rmw_qos_profile();
    endpoint.node_id = node_id;
    endpoint.ignore_local_publications = options.ignore_local_publications;
    return endpoint;
  }

  AnySubscriptionCallback<MessageT, AllocatorT> callback_;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__SUBSCRIPTION_HPP_
