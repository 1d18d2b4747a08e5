// Stand-in for rclcpp/publisher.hpp. Publishing queues the message on every
// matching subscription of the process and returns; callbacks run later, when
// the executors of the receiving nodes spin.
#ifndef STANDIN_RCLCPP__PUBLISHER_HPP_
#define STANDIN_RCLCPP__PUBLISHER_HPP_

#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <utility>

#include "rclcpp/macros.hpp"
#include "rclcpp/publisher_base.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace rclcpp
{

template<typename MessageT, typename AllocatorT = std::allocator<void>>
class Publisher : public PublisherBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Publisher<MessageT, AllocatorT>)

  using ROSMessageType = MessageT;
  using ROSMessageTypeDeleter = std::default_delete<MessageT>;

  // Built by Node::create_publisher.
  Publisher(
    const std::string & fully_qualified_topic, const rclcpp::QoS & qos,
    const PublisherOptionsWithAllocator<AllocatorT> &, std::uint64_t node_id,
    rclcpp::Context::SharedPtr context)
  : PublisherBase(make_endpoint(fully_qualified_topic, qos, node_id), std::move(context))
  {}

  template<typename T>
  std::enable_if_t<std::is_same<T, MessageT>::value>
  publish(std::unique_ptr<T, ROSMessageTypeDeleter> msg)
  {
    if (!msg) {
      throw std::runtime_error("failed to publish message: message is null");
    }
    const std::optional<std::int64_t> clock = clock_nanoseconds(*msg);
    publish_erased(std::shared_ptr<const MessageT>(std::move(msg)), clock);
  }

  template<typename T>
  std::enable_if_t<std::is_same<T, MessageT>::value>
  publish(const T & msg)
  {
    publish_erased(std::make_shared<const MessageT>(msg), clock_nanoseconds(msg));
  }

private:
  static detail::TopicEndpoint make_endpoint(
    const std::string & topic, const rclcpp::QoS & qos, std::uint64_t node_id)
  {
    detail::TopicEndpoint endpoint;
    endpoint.topic = topic;
    endpoint.type = rosidl_generator_traits::name<MessageT>();
    endpoint.cpp_type = std::type_index(typeid(MessageT));
    endpoint.qos = qos.get_rmw_qos_profile();
    endpoint.node_id = node_id;
    return endpoint;
  }

  // Clock messages also drive the simulated time of nodes; the graph decides
  // whether the topic is "/clock".
  static std::optional<std::int64_t> clock_nanoseconds(const MessageT & msg)
  {
    if constexpr (std::is_same<MessageT, rosgraph_msgs::msg::Clock>::value) {
      return static_cast<std::int64_t>(msg.clock.sec) * 1000000000LL +
             static_cast<std::int64_t>(msg.clock.nanosec);
    } else {
      (void)msg;
      return std::nullopt;
    }
  }
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__PUBLISHER_HPP_
