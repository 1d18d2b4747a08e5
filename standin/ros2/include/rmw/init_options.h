// Stand-in for rmw/init_options.h: the fields that rcl_init fills in and the
// stand-in reports (the real struct has more).
#ifndef STANDIN_RMW__INIT_OPTIONS_H_
#define STANDIN_RMW__INIT_OPTIONS_H_

#include <stddef.h>
#include <stdint.h>

#include "rmw/security_options.h"

#ifdef __cplusplus
extern "C"
{
#endif

typedef struct rmw_init_options_s
{
  uint64_t instance_id;
  const char * implementation_identifier;
  size_t domain_id;
  rmw_security_options_t security_options;
  // The context's enclave name, "/" when none was given.
  char * enclave;
} rmw_init_options_t;

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RMW__INIT_OPTIONS_H_
