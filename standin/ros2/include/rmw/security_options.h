// Stand-in for rmw/security_options.h.
#ifndef STANDIN_RMW__SECURITY_OPTIONS_H_
#define STANDIN_RMW__SECURITY_OPTIONS_H_

#ifdef __cplusplus
extern "C"
{
#endif

typedef enum rmw_security_enforcement_policy_e
{
  RMW_SECURITY_ENFORCEMENT_PERMISSIVE,
  RMW_SECURITY_ENFORCEMENT_ENFORCE,
} rmw_security_enforcement_policy_t;

typedef struct rmw_security_options_s
{
  rmw_security_enforcement_policy_t enforce_security;
  // The enclave's folder in the keystore; NULL when security is off or no
  // folder was found.
  char * security_root_path;
} rmw_security_options_t;

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RMW__SECURITY_OPTIONS_H_
