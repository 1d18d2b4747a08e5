// Stand-in internal: what rcl_init records in a context of the security
// environment, and the lookup it does for the enclave.
#ifndef STANDIN_RCLCPP__DETAIL__RCL_CONTEXT_HPP_
#define STANDIN_RCLCPP__DETAIL__RCL_CONTEXT_HPP_

#include <optional>
#include <string>

#include "rcl/context.h"
#include "rcl/init_options.h"

struct rcl_init_options_impl_s
{
  rmw_init_options_t rmw_init_options{};
  std::string enclave;               // storage behind rmw_init_options.enclave
  std::optional<std::string> security_root_path;
};

struct rcl_context_impl_s
{
  rcl_init_options_impl_s options_impl;
  rcl_init_options_t init_options{};
};

namespace rclcpp
{
namespace detail
{

// The directory rcl looks in for `enclave`, or for ROS_SECURITY_ENCLAVE_OVERRIDE
// when set: "<keystore>/enclaves/<name without its leading slash>". Empty
// when ROS_SECURITY_KEYSTORE is unset or empty.
std::optional<std::string> enclave_directory(const std::string & enclave);

// Fills `context` as rcl_init does for `enclave` ("/" when none was given):
// the name, and with ROS_SECURITY_ENABLE=true the enforcement policy and the
// enclave's directory if it exists. Throws exceptions::RCLError, with rcl's
// message, for an invalid enclave name and when security is enforced but the
// directory is missing.
void initialize_rcl_context(rcl_context_t & context, const std::string & enclave);

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DETAIL__RCL_CONTEXT_HPP_
