// Stand-in for rcl/types.h: the return codes the stand-in reports.
#ifndef STANDIN_RCL__TYPES_H_
#define STANDIN_RCL__TYPES_H_

#include "rmw/types.h"

typedef rmw_ret_t rcl_ret_t;

#define RCL_RET_OK 0
#define RCL_RET_ERROR 1
#define RCL_RET_BAD_ALLOC 10
#define RCL_RET_INVALID_ARGUMENT 11
#define RCL_RET_INVALID_ROS_ARGS 1302

#endif  // STANDIN_RCL__TYPES_H_
