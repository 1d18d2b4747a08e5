// Stand-in for rcutils/time.h: nanosecond clocks of the process.
#ifndef STANDIN_RCUTILS__TIME_H_
#define STANDIN_RCUTILS__TIME_H_

#include "rcutils/types.h"

#ifdef __cplusplus
extern "C"
{
#endif

#define RCUTILS_S_TO_NS(seconds) ((seconds) * (1000LL * 1000LL * 1000LL))
#define RCUTILS_MS_TO_NS(milliseconds) ((milliseconds) * (1000LL * 1000LL))
#define RCUTILS_US_TO_NS(microseconds) ((microseconds) * 1000LL)
#define RCUTILS_NS_TO_S(nanoseconds) ((nanoseconds) / (1000LL * 1000LL * 1000LL))
#define RCUTILS_NS_TO_MS(nanoseconds) ((nanoseconds) / (1000LL * 1000LL))
#define RCUTILS_NS_TO_US(nanoseconds) ((nanoseconds) / 1000LL)

rcutils_ret_t rcutils_system_time_now(rcutils_time_point_value_t * now);
rcutils_ret_t rcutils_steady_time_now(rcutils_time_point_value_t * now);

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RCUTILS__TIME_H_
