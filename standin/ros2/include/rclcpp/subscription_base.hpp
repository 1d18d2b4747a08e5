// Stand-in for rclcpp/subscription_base.hpp: the type-erased part of a
// subscription, i.e. its place in the graph and its queue of received messages.
#ifndef STANDIN_RCLCPP__SUBSCRIPTION_BASE_HPP_
#define STANDIN_RCLCPP__SUBSCRIPTION_BASE_HPP_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/message_info.hpp"
#include "rclcpp/qos.hpp"

namespace rclcpp
{

class SubscriptionBase : public std::enable_shared_from_this<SubscriptionBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(SubscriptionBase)

  SubscriptionBase(const SubscriptionBase &) = delete;
  SubscriptionBase & operator=(const SubscriptionBase &) = delete;
  virtual ~SubscriptionBase();

  const char * get_topic_name() const;
  std::size_t get_publisher_count() const;
  rclcpp::QoS get_actual_qos() const;

  // Called by the graph from the publishing thread: keeps at most `depth`
  // messages (keep-last) and wakes the executor of the owning node.
  void enqueue(const detail::ErasedMessage & message, const rmw_message_info_t & info);
  bool has_message() const;
  // Runs the callback for the oldest queued message; false if none was queued.
  bool execute_one();

  // Registers in the graph; needs a shared owner, so the node's factory calls
  // it right after construction.
  void register_in_graph();

protected:
  SubscriptionBase(
    detail::TopicEndpoint endpoint, std::shared_ptr<detail::NodeNotifier> notifier);
  virtual void dispatch(const detail::ErasedMessage & message, const rclcpp::MessageInfo & info) = 0;

private:
  struct Pending
  {
    detail::ErasedMessage message;
    rmw_message_info_t info;
  };

  detail::TopicEndpoint endpoint_;
  std::shared_ptr<detail::NodeNotifier> notifier_;
  std::uint64_t graph_id_ = 0;
  mutable std::mutex queue_mutex_;
  std::deque<Pending> queue_;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__SUBSCRIPTION_BASE_HPP_
