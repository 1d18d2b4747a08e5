// The process-wide basics that rcutils provides: a malloc-based allocator and
// the system and steady clocks in nanoseconds.
#include <chrono>
#include <cstdlib>

#include "rcutils/time.h"
#include "rcutils/types.h"

namespace
{
void * allocate(size_t size, void *) {return std::malloc(size);}
void deallocate(void * pointer, void *) {std::free(pointer);}
void * reallocate(void * pointer, size_t size, void *) {return std::realloc(pointer, size);}
void * zero_allocate(size_t count, size_t size, void *) {return std::calloc(count, size);}

template<typename ClockT>
rcutils_ret_t read_clock(rcutils_time_point_value_t * now)
{
  if (now == nullptr) {
    return RCUTILS_RET_INVALID_ARGUMENT;
  }
  *now = std::chrono::duration_cast<std::chrono::nanoseconds>(
    ClockT::now().time_since_epoch()).count();
  return RCUTILS_RET_OK;
}
}  // namespace

extern "C" rcutils_allocator_t rcutils_get_default_allocator(void)
{
  return rcutils_allocator_t{&allocate, &deallocate, &reallocate, &zero_allocate, nullptr};
}

extern "C" rcutils_ret_t rcutils_system_time_now(rcutils_time_point_value_t * now)
{
  return read_clock<std::chrono::system_clock>(now);
}

extern "C" rcutils_ret_t rcutils_steady_time_now(rcutils_time_point_value_t * now)
{
  return read_clock<std::chrono::steady_clock>(now);
}
