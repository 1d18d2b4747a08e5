// The graph's incompatible-QoS warnings: which existing endpoints a new
// publisher or subscription cannot match, and under which loggers to say so.
#include <vector>

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/names.hpp"

namespace rclcpp
{
namespace detail
{

void Graph::warn_incompatible_qos_of_publisher(std::uint64_t publisher_id) const
{
  std::vector<QosWarning> warnings;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto publisher = publishers_.find(publisher_id);
    if (publisher == publishers_.end()) {
      return;
    }
    for (const auto & entry : subscriptions_) {
      collect_qos_warnings_locked(publisher->second.endpoint, entry.second.endpoint, warnings);
    }
  }
  log_qos_warnings(warnings);
}

void Graph::warn_incompatible_qos_of_subscription(std::uint64_t subscription_id) const
{
  std::vector<QosWarning> warnings;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto subscription = subscriptions_.find(subscription_id);
    if (subscription == subscriptions_.end()) {
      return;
    }
    for (const auto & entry : publishers_) {
      collect_qos_warnings_locked(entry.second.endpoint, subscription->second.endpoint, warnings);
    }
  }
  log_qos_warnings(warnings);
}

void Graph::collect_qos_warnings_locked(
  const TopicEndpoint & offered, const TopicEndpoint & requested,
  std::vector<QosWarning> & warnings) const
{
  // Built-in endpoints (no C++ type) never meet the nodes' own ones.
  if (offered.topic != requested.topic || offered.cpp_type != requested.cpp_type ||
    offered.cpp_type == std::type_index(typeid(void)))
  {
    return;
  }
  const std::optional<int> policy = incompatible_qos_policy(offered.qos, requested.qos);
  if (!policy) {
    return;
  }
  warnings.push_back(
    offered_incompatible_qos_warning(logger_name_locked(offered.node_id), offered.topic, *policy));
  warnings.push_back(
    requested_incompatible_qos_warning(logger_name_locked(requested.node_id), requested.topic, *policy));
}

std::string Graph::logger_name_locked(std::uint64_t node_id) const
{
  auto node = nodes_.find(node_id);
  return node == nodes_.end() ? std::string("rclcpp") :
         node_logger_name(node->second.name, node->second.namespace_);
}

}  // namespace detail
}  // namespace rclcpp
