// Stand-in for rcl/init_options.h.
#ifndef STANDIN_RCL__INIT_OPTIONS_H_
#define STANDIN_RCL__INIT_OPTIONS_H_

#include "rmw/init_options.h"

#ifdef __cplusplus
extern "C"
{
#endif

typedef struct rcl_init_options_impl_s rcl_init_options_impl_t;

typedef struct rcl_init_options_s
{
  rcl_init_options_impl_t * impl;
} rcl_init_options_t;

// NULL for NULL or zero-initialised options.
rmw_init_options_t * rcl_init_options_get_rmw_init_options(rcl_init_options_t * init_options);

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RCL__INIT_OPTIONS_H_
