// Stand-in for rcl/allocator.h.
#ifndef STANDIN_RCL__ALLOCATOR_H_
#define STANDIN_RCL__ALLOCATOR_H_

#include "rcutils/types.h"

typedef rcutils_allocator_t rcl_allocator_t;
#define rcl_get_default_allocator rcutils_get_default_allocator

#endif  // STANDIN_RCL__ALLOCATOR_H_
