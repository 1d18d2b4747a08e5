// Stand-in for rcl/context.h: what an initialised context reports of its
// init options (enclave and security options included).
#ifndef STANDIN_RCL__CONTEXT_H_
#define STANDIN_RCL__CONTEXT_H_

#include "rcl/init_options.h"

#ifdef __cplusplus
extern "C"
{
#endif

typedef struct rcl_context_impl_s rcl_context_impl_t;

typedef struct rcl_context_s
{
  rcl_context_impl_t * impl;
} rcl_context_t;

// The options as rcl_init completed them; NULL for a context that was never
// initialised.
const rcl_init_options_t * rcl_context_get_init_options(const rcl_context_t * context);

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RCL__CONTEXT_H_
