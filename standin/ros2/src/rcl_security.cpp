// rcl's security environment: ROS_SECURITY_ENABLE, ROS_SECURITY_STRATEGY,
// ROS_SECURITY_KEYSTORE and ROS_SECURITY_ENCLAVE_OVERRIDE, read the way
// rcl_init reads them, and the per-context record of the result.
#include <sys/stat.h>

#include <cstdlib>
#include <cctype>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "rcl/context.h"
#include "rcl/init_options.h"
#include "rcl/security.h"
#include "rclcpp/detail/rcl_context.hpp"
#include "rclcpp/exceptions/exceptions.hpp"
#include "rcutils/logging_macros.h"

namespace
{

// Unset and empty are the same to rcl.
std::optional<std::string> environment(const char * name)
{
  const char * value = std::getenv(name);
  if (value == nullptr || value[0] == '\0') {
    return std::nullopt;
  }
  return std::string(value);
}

bool is_directory(const std::string & path)
{
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// rcl_validate_enclave_name applies the namespace rules.
std::optional<std::string> enclave_name_problem(const std::string & enclave)
{
  if (enclave.empty() || enclave.front() != '/') {
    return "Enclave name is not valid: 'enclave name must be absolute, it must lead with a '/''. "
           "Invalid index: 0";
  }
  for (std::size_t index = 0; index < enclave.size(); ++index) {
    const char c = enclave[index];
    const bool allowed = std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '/';
    const bool repeated_slash = c == '/' && index > 0 && enclave[index - 1] == '/';
    const bool trailing_slash = c == '/' && index > 0 && index + 1 == enclave.size();
    if (!allowed || repeated_slash || trailing_slash) {
      return "Enclave name is not valid: 'enclave name contains an invalid character, a repeated "
             "or a trailing '/''. Invalid index: " + std::to_string(index);
    }
  }
  return std::nullopt;
}

}  // namespace

namespace rclcpp
{
namespace detail
{

std::optional<std::string> enclave_directory(const std::string & enclave)
{
  const std::optional<std::string> keystore = environment(ROS_SECURITY_KEYSTORE_VAR_NAME);
  if (!keystore) {
    return std::nullopt;
  }
  const std::string name = environment(ROS_SECURITY_ENCLAVE_OVERRIDE).value_or(enclave);
  const std::string enclaves = *keystore + "/enclaves";
  return name == "/" ? enclaves : enclaves + "/" + name.substr(1);
}

void initialize_rcl_context(rcl_context_t & context, const std::string & enclave)
{
  if (const auto problem = enclave_name_problem(enclave)) {
    throw exceptions::RCLError("failed to initialize rcl: " + *problem);
  }
  auto impl = std::make_unique<rcl_context_impl_s>();
  rcl_init_options_impl_s & options = impl->options_impl;
  options.enclave = enclave;
  bool enabled = false;
  rcl_security_enabled(&enabled);
  options.rmw_init_options.security_options.enforce_security = RMW_SECURITY_ENFORCEMENT_PERMISSIVE;
  if (enabled) {
    rcl_get_enforcement_policy(&options.rmw_init_options.security_options.enforce_security);
    const std::optional<std::string> directory = enclave_directory(enclave);
    if (directory && is_directory(*directory)) {
      RCUTILS_LOG_INFO_NAMED("rcl", "Found security directory: %s", directory->c_str());
      options.security_root_path = *directory;
    } else if (options.rmw_init_options.security_options.enforce_security ==
      RMW_SECURITY_ENFORCEMENT_ENFORCE)
    {
      throw exceptions::RCLError(
        "failed to initialize rcl: " +
        (directory ? "SECURITY ERROR: directory '" + *directory + "' does not exist." :
        std::string("error not set")));
    }
  }
  options.rmw_init_options.enclave = options.enclave.data();
  options.rmw_init_options.security_options.security_root_path =
    options.security_root_path ? options.security_root_path->data() : nullptr;
  impl->init_options.impl = &impl->options_impl;
  delete context.impl;
  context.impl = impl.release();
}

}  // namespace detail
}  // namespace rclcpp

extern "C" rcl_ret_t rcl_security_enabled(bool * use_security)
{
  if (use_security == nullptr) {
    return RCL_RET_INVALID_ARGUMENT;
  }
  const char * value = std::getenv(ROS_SECURITY_ENABLE_VAR_NAME);
  *use_security = value != nullptr && std::strcmp(value, "true") == 0;
  return RCL_RET_OK;
}

extern "C" rcl_ret_t rcl_get_enforcement_policy(rmw_security_enforcement_policy_t * policy)
{
  if (policy == nullptr) {
    return RCL_RET_INVALID_ARGUMENT;
  }
  const char * value = std::getenv(ROS_SECURITY_STRATEGY_VAR_NAME);
  *policy = value != nullptr && std::strcmp(value, "Enforce") == 0 ?
    RMW_SECURITY_ENFORCEMENT_ENFORCE : RMW_SECURITY_ENFORCEMENT_PERMISSIVE;
  return RCL_RET_OK;
}

extern "C" char * rcl_get_secure_root(const char * name, const rcl_allocator_t * allocator)
{
  if (name == nullptr || allocator == nullptr) {
    return nullptr;
  }
  const std::optional<std::string> directory = rclcpp::detail::enclave_directory(name);
  if (!directory || !is_directory(*directory)) {
    return nullptr;
  }
  auto * copy = static_cast<char *>(allocator->allocate(directory->size() + 1, allocator->state));
  if (copy != nullptr) {
    std::memcpy(copy, directory->c_str(), directory->size() + 1);
  }
  return copy;
}

extern "C" rmw_init_options_t * rcl_init_options_get_rmw_init_options(
  rcl_init_options_t * init_options)
{
  if (init_options == nullptr || init_options->impl == nullptr) {
    return nullptr;
  }
  return &init_options->impl->rmw_init_options;
}

extern "C" const rcl_init_options_t * rcl_context_get_init_options(const rcl_context_t * context)
{
  if (context == nullptr || context->impl == nullptr) {
    return nullptr;
  }
  return &context->impl->init_options;
}
