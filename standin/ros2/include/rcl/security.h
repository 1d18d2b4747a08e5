// Stand-in for rcl/security.h: how rcl reads the security environment.
#ifndef STANDIN_RCL__SECURITY_H_
#define STANDIN_RCL__SECURITY_H_

#include <stdbool.h>

#include "rcl/allocator.h"
#include "rcl/types.h"
#include "rmw/security_options.h"

#ifdef __cplusplus
extern "C"
{
#endif

#ifndef ROS_SECURITY_ENCLAVE_OVERRIDE
# define ROS_SECURITY_ENCLAVE_OVERRIDE "ROS_SECURITY_ENCLAVE_OVERRIDE"
#endif
#ifndef ROS_SECURITY_KEYSTORE_VAR_NAME
# define ROS_SECURITY_KEYSTORE_VAR_NAME "ROS_SECURITY_KEYSTORE"
#endif
#ifndef ROS_SECURITY_STRATEGY_VAR_NAME
# define ROS_SECURITY_STRATEGY_VAR_NAME "ROS_SECURITY_STRATEGY"
#endif
#ifndef ROS_SECURITY_ENABLE_VAR_NAME
# define ROS_SECURITY_ENABLE_VAR_NAME "ROS_SECURITY_ENABLE"
#endif

// True exactly when ROS_SECURITY_ENABLE is "true".
rcl_ret_t rcl_security_enabled(bool * use_security);

// ENFORCE exactly when ROS_SECURITY_STRATEGY is "Enforce".
rcl_ret_t rcl_get_enforcement_policy(rmw_security_enforcement_policy_t * policy);

// "<ROS_SECURITY_KEYSTORE>/enclaves/<name without its leading slash>" (or of
// ROS_SECURITY_ENCLAVE_OVERRIDE when set) if that directory exists, allocated
// with `allocator`; NULL when the keystore variable is unset or empty or the
// directory is missing.
char * rcl_get_secure_root(const char * name, const rcl_allocator_t * allocator);

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RCL__SECURITY_H_
