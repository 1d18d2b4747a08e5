// Stand-in for the rcutils basic types used by the logging and time API.
#ifndef STANDIN_RCUTILS__TYPES_H_
#define STANDIN_RCUTILS__TYPES_H_

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

typedef int rcutils_ret_t;
#define RCUTILS_RET_OK 0
#define RCUTILS_RET_WARN 1
#define RCUTILS_RET_ERROR 2
#define RCUTILS_RET_BAD_ALLOC 10
#define RCUTILS_RET_INVALID_ARGUMENT 11
#define RCUTILS_RET_NOT_INITIALIZED 13
#define RCUTILS_RET_LOGGING_SEVERITY_STRING_INVALID 1001

typedef int64_t rcutils_time_point_value_t;
typedef int64_t rcutils_duration_value_t;

typedef struct rcutils_allocator_s
{
  void * (*allocate)(size_t size, void * state);
  void (* deallocate)(void * pointer, void * state);
  void * (*reallocate)(void * pointer, size_t size, void * state);
  void * (*zero_allocate)(size_t number_of_elements, size_t size_of_element, void * state);
  void * state;
} rcutils_allocator_t;

// Allocator backed by malloc/free; the stand-in never allocates through it.
rcutils_allocator_t rcutils_get_default_allocator(void);

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RCUTILS__TYPES_H_
