#include "align_tools/private_domain.hpp"

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include "align_model/domain_claim.hpp"

namespace align_tools
{
namespace
{

// The domain the rest of the system uses, as rcl reads it.
std::size_t shared_domain()
{
  const char * variable = std::getenv("ROS_DOMAIN_ID");
  if (variable == nullptr || *variable == '\0') {
    return 0;
  }
  char * end = nullptr;
  const unsigned long value = std::strtoul(variable, &end, 10);
  return *end == '\0' ? static_cast<std::size_t>(value) : 0;
}

}  // namespace

rclcpp::InitOptions private_domain_init_options()
{
  const std::optional<std::size_t> domain =
    align_model::claim_domain_id(kFirstPrivateDomain, kLastPrivateDomain, shared_domain());
  if (!domain) {
    throw std::runtime_error(
            "no private ROS domain is free between " + std::to_string(kFirstPrivateDomain) + " and " +
            std::to_string(kLastPrivateDomain) + ": as many replays are running already");
  }
  // Read by rcl at init; a replay never needs another host.
  ::setenv("ROS_LOCALHOST_ONLY", "1", 1);
  // Nor does it talk to anyone but itself: in a shell set up for the robot's
  // DDS security it would otherwise ask for an enclave it has no use for.
  ::unsetenv("ROS_SECURITY_ENABLE");
  rclcpp::InitOptions options;
  options.set_domain_id(*domain);
  return options;
}

}  // namespace align_tools
