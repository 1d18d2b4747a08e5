// Stand-in for rmw/types.h: QoS policies, gids, request ids and message info.
#ifndef STANDIN_RMW__TYPES_H_
#define STANDIN_RMW__TYPES_H_

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "rmw/time.h"

#ifdef __cplusplus
extern "C"
{
#endif

typedef int32_t rmw_ret_t;

enum rmw_qos_history_policy_e
{
  RMW_QOS_POLICY_HISTORY_SYSTEM_DEFAULT = 0,
  RMW_QOS_POLICY_HISTORY_KEEP_LAST = 1,
  RMW_QOS_POLICY_HISTORY_KEEP_ALL = 2,
  RMW_QOS_POLICY_HISTORY_UNKNOWN = 3
};
typedef enum rmw_qos_history_policy_e rmw_qos_history_policy_t;

enum rmw_qos_reliability_policy_e
{
  RMW_QOS_POLICY_RELIABILITY_SYSTEM_DEFAULT = 0,
  RMW_QOS_POLICY_RELIABILITY_RELIABLE = 1,
  RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT = 2,
  RMW_QOS_POLICY_RELIABILITY_UNKNOWN = 3
};
typedef enum rmw_qos_reliability_policy_e rmw_qos_reliability_policy_t;

enum rmw_qos_durability_policy_e
{
  RMW_QOS_POLICY_DURABILITY_SYSTEM_DEFAULT = 0,
  RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL = 1,
  RMW_QOS_POLICY_DURABILITY_VOLATILE = 2,
  RMW_QOS_POLICY_DURABILITY_UNKNOWN = 3
};
typedef enum rmw_qos_durability_policy_e rmw_qos_durability_policy_t;

enum rmw_qos_liveliness_policy_e
{
  RMW_QOS_POLICY_LIVELINESS_SYSTEM_DEFAULT = 0,
  RMW_QOS_POLICY_LIVELINESS_AUTOMATIC = 1,
  RMW_QOS_POLICY_LIVELINESS_MANUAL_BY_NODE = 2,
  RMW_QOS_POLICY_LIVELINESS_MANUAL_BY_TOPIC = 3,
  RMW_QOS_POLICY_LIVELINESS_UNKNOWN = 4
};
typedef enum rmw_qos_liveliness_policy_e rmw_qos_liveliness_policy_t;

typedef struct rmw_qos_profile_s
{
  enum rmw_qos_history_policy_e history;
  size_t depth;
  enum rmw_qos_reliability_policy_e reliability;
  enum rmw_qos_durability_policy_e durability;
  struct rmw_time_s deadline;
  struct rmw_time_s lifespan;
  enum rmw_qos_liveliness_policy_e liveliness;
  struct rmw_time_s liveliness_lease_duration;
  bool avoid_ros_namespace_conventions;
} rmw_qos_profile_t;

#define RMW_GID_STORAGE_SIZE 24u

typedef struct rmw_gid_s
{
  const char * implementation_identifier;
  uint8_t data[RMW_GID_STORAGE_SIZE];
} rmw_gid_t;

typedef struct rmw_request_id_s
{
  int8_t writer_guid[16];
  int64_t sequence_number;
} rmw_request_id_t;

typedef struct rmw_message_info_s
{
  rmw_time_point_value_t source_timestamp;
  rmw_time_point_value_t received_timestamp;
  uint64_t publication_sequence_number;
  uint64_t reception_sequence_number;
  rmw_gid_t publisher_gid;
  bool from_intra_process;
} rmw_message_info_t;

#define RMW_MESSAGE_INFO_SEQUENCE_NUMBER_UNSUPPORTED UINT64_MAX

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RMW__TYPES_H_
