// Stand-in for rmw/time.h.
#ifndef STANDIN_RMW__TIME_H_
#define STANDIN_RMW__TIME_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

typedef struct rmw_time_s
{
  uint64_t sec;
  uint64_t nsec;
} rmw_time_t;

typedef int64_t rmw_time_point_value_t;
typedef int64_t rmw_duration_t;

#define RMW_DURATION_INFINITE 9223372036854775807LL
#define RMW_DURATION_UNSPECIFIED 0LL
#define RMW_QOS_DEADLINE_DEFAULT {0, 0}
#define RMW_QOS_LIFESPAN_DEFAULT {0, 0}
#define RMW_QOS_LIVELINESS_LEASE_DURATION_DEFAULT {0, 0}

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RMW__TIME_H_
