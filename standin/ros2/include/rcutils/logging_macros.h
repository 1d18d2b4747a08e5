// Stand-in for rcutils/logging_macros.h: the named printf-style macros, which
// evaluate their arguments only when the severity is enabled.
#ifndef STANDIN_RCUTILS__LOGGING_MACROS_H_
#define STANDIN_RCUTILS__LOGGING_MACROS_H_

#include "rcutils/logging.h"

#define RCUTILS_LOG_COND_NAMED(severity, name, ...) \
  do { \
    RCUTILS_LOGGING_AUTOINIT; \
    static const rcutils_log_location_t __rcutils_logging_location = { \
      __func__, __FILE__, __LINE__}; \
    if (rcutils_logging_logger_is_enabled_for(name, severity)) { \
      rcutils_log(&__rcutils_logging_location, severity, name, __VA_ARGS__); \
    } \
  } while (0)

#define RCUTILS_LOG_DEBUG_NAMED(name, ...) \
  RCUTILS_LOG_COND_NAMED(RCUTILS_LOG_SEVERITY_DEBUG, name, __VA_ARGS__)
#define RCUTILS_LOG_INFO_NAMED(name, ...) \
  RCUTILS_LOG_COND_NAMED(RCUTILS_LOG_SEVERITY_INFO, name, __VA_ARGS__)
#define RCUTILS_LOG_WARN_NAMED(name, ...) \
  RCUTILS_LOG_COND_NAMED(RCUTILS_LOG_SEVERITY_WARN, name, __VA_ARGS__)
#define RCUTILS_LOG_ERROR_NAMED(name, ...) \
  RCUTILS_LOG_COND_NAMED(RCUTILS_LOG_SEVERITY_ERROR, name, __VA_ARGS__)
#define RCUTILS_LOG_FATAL_NAMED(name, ...) \
  RCUTILS_LOG_COND_NAMED(RCUTILS_LOG_SEVERITY_FATAL, name, __VA_ARGS__)

#define RCUTILS_LOG_DEBUG(...) RCUTILS_LOG_DEBUG_NAMED("", __VA_ARGS__)
#define RCUTILS_LOG_INFO(...) RCUTILS_LOG_INFO_NAMED("", __VA_ARGS__)
#define RCUTILS_LOG_WARN(...) RCUTILS_LOG_WARN_NAMED("", __VA_ARGS__)
#define RCUTILS_LOG_ERROR(...) RCUTILS_LOG_ERROR_NAMED("", __VA_ARGS__)
#define RCUTILS_LOG_FATAL(...) RCUTILS_LOG_FATAL_NAMED("", __VA_ARGS__)

#endif  // STANDIN_RCUTILS__LOGGING_MACROS_H_
