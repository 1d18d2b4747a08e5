#include "rclcpp/subscription_base.hpp"

#include <algorithm>
#include <utility>

namespace rclcpp
{

SubscriptionBase::SubscriptionBase(
  detail::TopicEndpoint endpoint, std::shared_ptr<detail::NodeNotifier> notifier)
: endpoint_(std::move(endpoint)), notifier_(std::move(notifier))
{}

SubscriptionBase::~SubscriptionBase()
{
  if (graph_id_ != 0) {
    detail::Graph::instance().remove_subscription(graph_id_);
  }
}

void SubscriptionBase::register_in_graph()
{
  graph_id_ = detail::Graph::instance().add_subscription(endpoint_, weak_from_this());
  detail::Graph::instance().warn_incompatible_qos_of_subscription(graph_id_);
}

const char * SubscriptionBase::get_topic_name() const
{
  return endpoint_.topic.c_str();
}

std::size_t SubscriptionBase::get_publisher_count() const
{
  return detail::Graph::instance().matched_publishers(graph_id_);
}

rclcpp::QoS SubscriptionBase::get_actual_qos() const
{
  return rclcpp::QoS(rclcpp::QoSInitialization::from_rmw(endpoint_.qos), endpoint_.qos);
}

void SubscriptionBase::enqueue(
  const detail::ErasedMessage & message, const rmw_message_info_t & info)
{
  {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    queue_.push_back({message, info});
    if (endpoint_.qos.history != RMW_QOS_POLICY_HISTORY_KEEP_ALL) {
      const std::size_t depth = std::max<std::size_t>(endpoint_.qos.depth, 1);
      while (queue_.size() > depth) {
        queue_.pop_front();
      }
    }
  }
  notifier_->notify();
}

bool SubscriptionBase::has_message() const
{
  std::lock_guard<std::mutex> lock(queue_mutex_);
  return !queue_.empty();
}

bool SubscriptionBase::execute_one()
{
  Pending pending;
  {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    if (queue_.empty()) {
      return false;
    }
    pending = std::move(queue_.front());
    queue_.pop_front();
  }
  dispatch(pending.message, rclcpp::MessageInfo(pending.info));
  return true;
}

}  // namespace rclcpp
