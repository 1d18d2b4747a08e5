// Stand-in for rcutils/logging.h: severities, per-logger levels with
// hierarchical lookup, and a replaceable output handler.
#ifndef STANDIN_RCUTILS__LOGGING_H_
#define STANDIN_RCUTILS__LOGGING_H_

#include <stdarg.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdio.h>

#include "rcutils/macros.h"
#include "rcutils/time.h"
#include "rcutils/types.h"

#ifdef __cplusplus
extern "C"
{
#endif

enum RCUTILS_LOG_SEVERITY
{
  RCUTILS_LOG_SEVERITY_UNSET = 0,
  RCUTILS_LOG_SEVERITY_DEBUG = 10,
  RCUTILS_LOG_SEVERITY_INFO = 20,
  RCUTILS_LOG_SEVERITY_WARN = 30,
  RCUTILS_LOG_SEVERITY_ERROR = 40,
  RCUTILS_LOG_SEVERITY_FATAL = 50,
};

#define RCUTILS_DEFAULT_LOGGER_DEFAULT_LEVEL RCUTILS_LOG_SEVERITY_INFO

// Indexed by severity / 10 (UNSET, DEBUG, INFO, WARN, ERROR, FATAL).
extern const char * const g_rcutils_log_severity_names[RCUTILS_LOG_SEVERITY_FATAL + 1];

typedef struct rcutils_log_location_s
{
  const char * function_name;
  const char * file_name;
  size_t line_number;
} rcutils_log_location_t;

typedef void (* rcutils_logging_output_handler_t)(
  const rcutils_log_location_t * location, int severity, const char * name,
  rcutils_time_point_value_t timestamp, const char * format, va_list * args);

extern bool g_rcutils_logging_initialized;

rcutils_ret_t rcutils_logging_initialize(void) RCUTILS_WARN_UNUSED;
rcutils_ret_t rcutils_logging_initialize_with_allocator(rcutils_allocator_t allocator) RCUTILS_WARN_UNUSED;
rcutils_ret_t rcutils_logging_shutdown(void) RCUTILS_WARN_UNUSED;

rcutils_logging_output_handler_t rcutils_logging_get_output_handler(void) RCUTILS_WARN_UNUSED;
void rcutils_logging_set_output_handler(rcutils_logging_output_handler_t function);

int rcutils_logging_get_default_logger_level(void) RCUTILS_WARN_UNUSED;
void rcutils_logging_set_default_logger_level(int level);
int rcutils_logging_get_logger_level(const char * name) RCUTILS_WARN_UNUSED;
int rcutils_logging_get_logger_leveln(const char * name, size_t name_length) RCUTILS_WARN_UNUSED;
rcutils_ret_t rcutils_logging_set_logger_level(const char * name, int level) RCUTILS_WARN_UNUSED;
bool rcutils_logging_logger_is_enabled_for(const char * name, int severity) RCUTILS_WARN_UNUSED;
int rcutils_logging_get_logger_effective_level(const char * name) RCUTILS_WARN_UNUSED;

rcutils_ret_t rcutils_logging_severity_level_from_string(
  const char * severity_string, rcutils_allocator_t allocator, int * severity) RCUTILS_WARN_UNUSED;

void rcutils_log(
  const rcutils_log_location_t * location, int severity, const char * name,
  const char * format, ...) __attribute__((format(printf, 4, 5)));

// Writes "[SEVERITY] [seconds.nanoseconds] [name]: message" to stderr, or to
// stdout when RCUTILS_LOGGING_USE_STDOUT=1.
void rcutils_logging_console_output_handler(
  const rcutils_log_location_t * location, int severity, const char * name,
  rcutils_time_point_value_t timestamp, const char * format, va_list * args);

#define RCUTILS_LOGGING_AUTOINIT \
  do { \
    if (!g_rcutils_logging_initialized) { \
      if (rcutils_logging_initialize() != RCUTILS_RET_OK) { \
        fputs("[rcutils] error initializing logging\n", stderr); \
      } \
    } \
  } while (0)

#ifdef __cplusplus
}
#endif

#endif  // STANDIN_RCUTILS__LOGGING_H_
