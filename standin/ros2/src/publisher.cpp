#include "rclcpp/publisher_base.hpp"

#include <utility>

namespace rclcpp
{

PublisherBase::PublisherBase(detail::TopicEndpoint endpoint, rclcpp::Context::SharedPtr context)
: endpoint_(std::move(endpoint)), context_(std::move(context))
{
  graph_id_ = detail::Graph::instance().add_publisher(endpoint_);
  detail::Graph::instance().warn_incompatible_qos_of_publisher(graph_id_);
}

PublisherBase::~PublisherBase()
{
  detail::Graph::instance().remove_publisher(graph_id_);
}

const char * PublisherBase::get_topic_name() const
{
  return endpoint_.topic.c_str();
}

std::size_t PublisherBase::get_subscription_count() const
{
  return detail::Graph::instance().matched_subscriptions(graph_id_);
}

std::size_t PublisherBase::get_intra_process_subscription_count() const
{
  return get_subscription_count();
}

rclcpp::QoS PublisherBase::get_actual_qos() const
{
  return rclcpp::QoS(rclcpp::QoSInitialization::from_rmw(endpoint_.qos), endpoint_.qos);
}

void PublisherBase::publish_erased(
  const detail::ErasedMessage & message, std::optional<std::int64_t> clock_nanoseconds)
{
  if (context_ && !context_->is_valid()) {
    return;
  }
  detail::Graph::instance().publish(graph_id_, message, clock_nanoseconds);
}

}  // namespace rclcpp
