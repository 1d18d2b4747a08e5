#include "rclcpp/detail/qos_incompatibility.hpp"

#include "rclcpp/logger.hpp"
#include "rclcpp/logging.hpp"
#include "rclcpp/qos.hpp"

namespace rclcpp
{
namespace detail
{
namespace
{

// The stand-in's numbering of qos_policy_name_from_kind.
constexpr int kDurabilityPolicy = 1;
constexpr int kReliabilityPolicy = 4;

bool is_reliable(const rmw_qos_profile_t & qos)
{
  return qos.reliability != RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT;
}

bool is_transient_local(const rmw_qos_profile_t & qos)
{
  return qos.durability == RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
}

}  // namespace

std::optional<int> incompatible_qos_policy(
  const rmw_qos_profile_t & offered, const rmw_qos_profile_t & requested)
{
  std::optional<int> policy;
  if (is_reliable(requested) && !is_reliable(offered)) {
    policy = kReliabilityPolicy;
  }
  if (is_transient_local(requested) && !is_transient_local(offered)) {
    policy = kDurabilityPolicy;
  }
  return policy;
}

QosWarning offered_incompatible_qos_warning(
  const std::string & publisher_logger, const std::string & topic, int policy)
{
  return {publisher_logger,
    "New subscription discovered on topic '" + topic +
    "', requesting incompatible QoS. No messages will be sent to it. Last incompatible policy: " +
    qos_policy_name_from_kind(policy)};
}

QosWarning requested_incompatible_qos_warning(
  const std::string & subscription_logger, const std::string & topic, int policy)
{
  // Humble's subscription-side text also says "sent".
  return {subscription_logger,
    "New publisher discovered on topic '" + topic +
    "', offering incompatible QoS. No messages will be sent to it. Last incompatible policy: " +
    qos_policy_name_from_kind(policy)};
}

void log_qos_warnings(const std::vector<QosWarning> & warnings)
{
  for (const QosWarning & warning : warnings) {
    RCLCPP_WARN(rclcpp::get_logger(warning.logger_name), "%s", warning.text.c_str());
  }
}

}  // namespace detail
}  // namespace rclcpp
