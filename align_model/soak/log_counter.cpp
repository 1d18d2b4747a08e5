#include "log_counter.hpp"

#include <cstdarg>
#include <mutex>

#include "rcutils/logging.h"

namespace align_soak
{
namespace
{

// The handler is a plain function, so its state is global; the transform
// listener's threads may log while the executor thread does.
struct CounterState
{
  std::mutex mutex;
  rcutils_logging_output_handler_t previous = nullptr;
  LogCounts counts{};
  std::size_t shown = 0;
  std::size_t passed = 0;
};

CounterState & state()
{
  static CounterState instance;
  return instance;
}

std::size_t slot(int severity)
{
  if (severity <= RCUTILS_LOG_SEVERITY_DEBUG) {
    return 0;
  }
  if (severity >= RCUTILS_LOG_SEVERITY_FATAL) {
    return 4;
  }
  return static_cast<std::size_t>(severity / 10 - 1);
}

void count_line(
  const rcutils_log_location_t * location, int severity, const char * name,
  rcutils_time_point_value_t timestamp, const char * format, va_list * args)
{
  rcutils_logging_output_handler_t forward = nullptr;
  {
    std::lock_guard<std::mutex> lock(state().mutex);
    ++state().counts[slot(severity)];
    if (state().passed < state().shown) {
      ++state().passed;
      forward = state().previous;
    }
  }
  if (forward != nullptr) {
    forward(location, severity, name, timestamp, format, args);
  }
}

}  // namespace

LogCounter::LogCounter()
{
  std::lock_guard<std::mutex> lock(state().mutex);
  state().previous = rcutils_logging_get_output_handler();
  state().counts = {};
  state().shown = 0;
  state().passed = 0;
  rcutils_logging_set_output_handler(&count_line);
}

LogCounter::~LogCounter()
{
  std::lock_guard<std::mutex> lock(state().mutex);
  rcutils_logging_set_output_handler(state().previous);
}

void LogCounter::show(std::size_t count)
{
  std::lock_guard<std::mutex> lock(state().mutex);
  state().shown = count;
  state().passed = 0;
}

LogCounts LogCounter::take()
{
  std::lock_guard<std::mutex> lock(state().mutex);
  const LogCounts counts = state().counts;
  state().counts = {};
  return counts;
}

LogCounts LogCounter::peek() const
{
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().counts;
}

}  // namespace align_soak
