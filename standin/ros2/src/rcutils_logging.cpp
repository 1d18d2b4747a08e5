// Severity filtering and dispatch of rcutils logging. Levels live in one
// table guarded by a mutex, so they can be changed while other threads log.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdarg>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "rcutils/logging.h"
#include "rcutils/time.h"

// Always true: the stand-in needs no set-up, and a flag that never changes
// keeps the macros' unsynchronised read free of data races.
bool g_rcutils_logging_initialized = true;

const char * const g_rcutils_log_severity_names[RCUTILS_LOG_SEVERITY_FATAL + 1] = {
  "UNSET", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
  "DEBUG", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
  "INFO", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
  "WARN", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
  "ERROR", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
  "FATAL",
};

namespace
{

struct LevelTable
{
  std::mutex mutex;
  int default_level = RCUTILS_DEFAULT_LOGGER_DEFAULT_LEVEL;
  std::map<std::string, int> logger_levels;
};

LevelTable & level_table()
{
  static LevelTable table;
  return table;
}

std::atomic<rcutils_logging_output_handler_t> & output_handler()
{
  static std::atomic<rcutils_logging_output_handler_t> handler{
    &rcutils_logging_console_output_handler};
  return handler;
}

bool is_valid_severity(int severity)
{
  return severity == RCUTILS_LOG_SEVERITY_UNSET || severity == RCUTILS_LOG_SEVERITY_DEBUG ||
         severity == RCUTILS_LOG_SEVERITY_INFO || severity == RCUTILS_LOG_SEVERITY_WARN ||
         severity == RCUTILS_LOG_SEVERITY_ERROR || severity == RCUTILS_LOG_SEVERITY_FATAL;
}

// The level of the logger itself or of its nearest ancestor ("a.b.c" ->
// "a.b" -> "a"); UNSET when none of them has one. Caller holds the mutex.
int nearest_level_locked(const LevelTable & table, std::string name)
{
  while (!name.empty()) {
    const auto found = table.logger_levels.find(name);
    if (found != table.logger_levels.end() && found->second != RCUTILS_LOG_SEVERITY_UNSET) {
      return found->second;
    }
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) {
      break;
    }
    name.erase(dot);
  }
  return RCUTILS_LOG_SEVERITY_UNSET;
}

}  // namespace

extern "C" {

rcutils_ret_t rcutils_logging_initialize(void)
{
  return RCUTILS_RET_OK;
}

rcutils_ret_t rcutils_logging_initialize_with_allocator(rcutils_allocator_t)
{
  return RCUTILS_RET_OK;
}

rcutils_ret_t rcutils_logging_shutdown(void)
{
  LevelTable & table = level_table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.logger_levels.clear();
  table.default_level = RCUTILS_DEFAULT_LOGGER_DEFAULT_LEVEL;
  output_handler().store(&rcutils_logging_console_output_handler);
  return RCUTILS_RET_OK;
}

rcutils_logging_output_handler_t rcutils_logging_get_output_handler(void)
{
  return output_handler().load();
}

void rcutils_logging_set_output_handler(rcutils_logging_output_handler_t function)
{
  output_handler().store(function);
}

int rcutils_logging_get_default_logger_level(void)
{
  LevelTable & table = level_table();
  std::lock_guard<std::mutex> lock(table.mutex);
  return table.default_level;
}

void rcutils_logging_set_default_logger_level(int level)
{
  if (level == RCUTILS_LOG_SEVERITY_UNSET) {
    // As in rcutils: unsetting the default restores the built-in default.
    level = RCUTILS_DEFAULT_LOGGER_DEFAULT_LEVEL;
  }
  if (!is_valid_severity(level)) {
    return;
  }
  LevelTable & table = level_table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.default_level = level;
}

int rcutils_logging_get_logger_level(const char * name)
{
  if (name == nullptr) {
    return -1;
  }
  return rcutils_logging_get_logger_leveln(name, std::strlen(name));
}

int rcutils_logging_get_logger_leveln(const char * name, size_t name_length)
{
  if (name == nullptr) {
    return -1;
  }
  LevelTable & table = level_table();
  std::lock_guard<std::mutex> lock(table.mutex);
  if (name_length == 0) {
    return table.default_level;
  }
  const auto found = table.logger_levels.find(std::string(name, name_length));
  return found == table.logger_levels.end() ? RCUTILS_LOG_SEVERITY_UNSET : found->second;
}

rcutils_ret_t rcutils_logging_set_logger_level(const char * name, int level)
{
  if (name == nullptr || !is_valid_severity(level)) {
    return RCUTILS_RET_INVALID_ARGUMENT;
  }
  if (name[0] == '\0') {
    rcutils_logging_set_default_logger_level(level);
    return RCUTILS_RET_OK;
  }
  LevelTable & table = level_table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.logger_levels[name] = level;
  return RCUTILS_RET_OK;
}

int rcutils_logging_get_logger_effective_level(const char * name)
{
  LevelTable & table = level_table();
  std::lock_guard<std::mutex> lock(table.mutex);
  if (name == nullptr) {
    return table.default_level;
  }
  const int level = nearest_level_locked(table, name);
  return level == RCUTILS_LOG_SEVERITY_UNSET ? table.default_level : level;
}

bool rcutils_logging_logger_is_enabled_for(const char * name, int severity)
{
  return severity >= rcutils_logging_get_logger_effective_level(name);
}

rcutils_ret_t rcutils_logging_severity_level_from_string(
  const char * severity_string, rcutils_allocator_t, int * severity)
{
  if (severity_string == nullptr || severity == nullptr) {
    return RCUTILS_RET_INVALID_ARGUMENT;
  }
  std::string upper(severity_string);
  std::transform(
    upper.begin(), upper.end(), upper.begin(),
    [](unsigned char c) {return static_cast<char>(std::toupper(c));});
  for (int level = RCUTILS_LOG_SEVERITY_UNSET; level <= RCUTILS_LOG_SEVERITY_FATAL; level += 10) {
    if (upper == g_rcutils_log_severity_names[level]) {
      *severity = level;
      return RCUTILS_RET_OK;
    }
  }
  return RCUTILS_RET_LOGGING_SEVERITY_STRING_INVALID;
}

void rcutils_log(
  const rcutils_log_location_t * location, int severity, const char * name,
  const char * format, ...)
{
  const bool known_severity =
    severity >= RCUTILS_LOG_SEVERITY_DEBUG && severity <= RCUTILS_LOG_SEVERITY_FATAL &&
    is_valid_severity(severity);
  if (format == nullptr || !known_severity ||
    !rcutils_logging_logger_is_enabled_for(name, severity))
  {
    return;
  }
  const rcutils_logging_output_handler_t handler = output_handler().load();
  if (handler == nullptr) {
    return;
  }
  rcutils_time_point_value_t now = 0;
  (void)rcutils_system_time_now(&now);
  va_list args;
  va_start(args, format);
  handler(location, severity, name != nullptr ? name : "", now, format, &args);
  va_end(args);
}

}  // extern "C"
