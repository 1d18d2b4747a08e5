// What the stand-in graph logs when a publisher and a subscription of one
// topic and type cannot match because of their QoS. rclcpp installs default
// handlers for the middleware's "offered / requested incompatible QoS" events
// that warn on both sides; the stand-in warns at the moment the second
// endpoint of such a pair is created, from the thread that creates it.
#ifndef STANDIN_RCLCPP__DETAIL__QOS_INCOMPATIBILITY_HPP_
#define STANDIN_RCLCPP__DETAIL__QOS_INCOMPATIBILITY_HPP_

#include <optional>
#include <string>
#include <vector>

#include "rmw/types.h"

namespace rclcpp
{
namespace detail
{

// The policy that keeps `offered` from reaching `requested`, as the number
// rclcpp::qos_policy_name_from_kind names; nullopt when they match. When
// several policies clash, the last one checked is reported, as DDS reports
// the "last incompatible policy".
std::optional<int> incompatible_qos_policy(
  const rmw_qos_profile_t & offered, const rmw_qos_profile_t & requested);

struct QosWarning
{
  std::string logger_name;
  std::string text;
};

// The publisher's side: a subscription asks for more than it offers.
QosWarning offered_incompatible_qos_warning(
  const std::string & publisher_logger, const std::string & topic, int policy);
// The subscription's side: a publisher offers less than it asks for.
QosWarning requested_incompatible_qos_warning(
  const std::string & subscription_logger, const std::string & topic, int policy);

// Logs each warning at WARN under its logger. Call without holding the graph's
// lock: log output handlers may call back into the graph.
void log_qos_warnings(const std::vector<QosWarning> & warnings);

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DETAIL__QOS_INCOMPATIBILITY_HPP_
