#include "align_tools/log_tap.hpp"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "rcutils/logging.h"

namespace align_tools
{
namespace
{

// The first DEBUG line of the scan callback of either program.
const char kScanReceived[] = "Get BACK_SCAN laser data";
const char kTransformDrop[] = "Get tf_trans failed.";
// The feature program's INFO line for every enable message.
const char kEnableSignal[] = "Align enable signal turn to ";

// rcutils takes a plain function pointer, so the tap's state is global.
struct TapState
{
  std::mutex mutex;
  rcutils_logging_output_handler_t previous = nullptr;
  std::string logger;
  int user_level = RCUTILS_LOG_SEVERITY_INFO;
  int previous_logger_level = RCUTILS_LOG_SEVERITY_UNSET;
  bool muted = false;
  LogCounts counts;
};

TapState & state()
{
  static TapState tap;
  return tap;
}

void handle(
  const rcutils_log_location_t * location, int severity, const char * name,
  rcutils_time_point_value_t timestamp, const char * format, va_list * args)
{
  TapState & tap = state();
  rcutils_logging_output_handler_t forward = nullptr;
  {
    std::lock_guard<std::mutex> lock(tap.mutex);
    const bool from_node = name != nullptr && tap.logger == name;
    if (from_node && (severity == RCUTILS_LOG_SEVERITY_DEBUG || severity == RCUTILS_LOG_SEVERITY_INFO)) {
      va_list copy;
      va_copy(copy, *args);
      char text[512];
      std::vsnprintf(text, sizeof(text), format, copy);
      va_end(copy);
      if (std::strstr(text, kScanReceived) != nullptr) {
        ++tap.counts.scans_received;
      } else if (std::strcmp(text, kTransformDrop) == 0) {
        ++tap.counts.transform_drops;
      } else if (std::strncmp(text, kEnableSignal, sizeof(kEnableSignal) - 1) == 0) {
        ++tap.counts.enable_signals;
      }
    }
    const bool wanted = !from_node || severity >= tap.user_level;
    if (wanted && !tap.muted) {
      forward = tap.previous;
    }
  }
  if (forward != nullptr) {
    forward(location, severity, name, timestamp, format, args);
  }
}

}  // namespace

LogTap::LogTap(const std::string & node_logger)
{
  TapState & tap = state();
  std::lock_guard<std::mutex> lock(tap.mutex);
  tap.logger = node_logger;
  tap.counts = LogCounts();
  tap.muted = false;
  tap.user_level = rcutils_logging_get_logger_effective_level(node_logger.c_str());
  tap.previous_logger_level = rcutils_logging_get_logger_level(node_logger.c_str());
  tap.previous = rcutils_logging_get_output_handler();
  if (rcutils_logging_set_logger_level(node_logger.c_str(), RCUTILS_LOG_SEVERITY_DEBUG) != RCUTILS_RET_OK) {
    throw std::runtime_error("cannot set the level of logger '" + node_logger + "'");
  }
  rcutils_logging_set_output_handler(&handle);
}

LogTap::~LogTap()
{
  TapState & tap = state();
  std::lock_guard<std::mutex> lock(tap.mutex);
  rcutils_logging_set_output_handler(tap.previous);
  if (rcutils_logging_set_logger_level(tap.logger.c_str(), tap.previous_logger_level) != RCUTILS_RET_OK) {
    std::fprintf(stderr, "cannot restore the level of logger '%s'\n", tap.logger.c_str());
  }
}

LogCounts LogTap::counts() const
{
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().counts;
}

void LogTap::set_muted(bool muted)
{
  std::lock_guard<std::mutex> lock(state().mutex);
  state().muted = muted;
}

}  // namespace align_tools
