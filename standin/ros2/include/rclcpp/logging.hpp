// Stand-in for rclcpp/logging.hpp: printf-style and stream logging macros
// that forward to rcutils with the logger's name.
#ifndef STANDIN_RCLCPP__LOGGING_HPP_
#define STANDIN_RCLCPP__LOGGING_HPP_

#include <atomic>
#include <sstream>
#include <type_traits>

#include "rclcpp/logger.hpp"
#include "rcutils/logging_macros.h"

#define RCLCPP_LOG_MIN_SEVERITY_DEBUG 0
#define RCLCPP_LOG_MIN_SEVERITY_INFO 1
#define RCLCPP_LOG_MIN_SEVERITY_WARN 2
#define RCLCPP_LOG_MIN_SEVERITY_ERROR 3
#define RCLCPP_LOG_MIN_SEVERITY_FATAL 4
#define RCLCPP_LOG_MIN_SEVERITY_NONE 5

#ifndef RCLCPP_LOG_MIN_SEVERITY
#define RCLCPP_LOG_MIN_SEVERITY RCLCPP_LOG_MIN_SEVERITY_DEBUG
#endif

#define RCLCPP_STATIC_ASSERT_LOGGER(logger) \
  static_assert( \
    ::std::is_same<typename std::remove_cv_t<typename std::remove_reference_t<decltype(logger)>>, \
    typename ::rclcpp::Logger>::value, \
    "First argument to logging macros must be an rclcpp::Logger")

// Core of every macro: `condition` and the format arguments are evaluated
// only when the severity is enabled; `condition` may keep per-call-site
// state (once, skip-first).
#define RCLCPP_LOG_IF_(severity, condition, logger, ...) \
  do { \
    RCLCPP_STATIC_ASSERT_LOGGER(logger); \
    RCUTILS_LOGGING_AUTOINIT; \
    static const rcutils_log_location_t __rclcpp_logging_location = { \
      __func__, __FILE__, __LINE__}; \
    /* Bound to a reference so that a temporary logger outlives the call. */ \
    const ::rclcpp::Logger & __rclcpp_logger = (logger); \
    const char * __rclcpp_logging_name = __rclcpp_logger.get_name(); \
    if (rcutils_logging_logger_is_enabled_for(__rclcpp_logging_name, severity) && \
      (condition)) \
    { \
      rcutils_log( \
        &__rclcpp_logging_location, severity, __rclcpp_logging_name, __VA_ARGS__); \
    } \
  } while (0)

#define RCLCPP_LOG_STREAM_IF_(severity, condition, logger, stream_arg) \
  do { \
    RCLCPP_STATIC_ASSERT_LOGGER(logger); \
    RCUTILS_LOGGING_AUTOINIT; \
    static const rcutils_log_location_t __rclcpp_logging_location = { \
      __func__, __FILE__, __LINE__}; \
    /* Bound to a reference so that a temporary logger outlives the call. */ \
    const ::rclcpp::Logger & __rclcpp_logger = (logger); \
    const char * __rclcpp_logging_name = __rclcpp_logger.get_name(); \
    if (rcutils_logging_logger_is_enabled_for(__rclcpp_logging_name, severity) && \
      (condition)) \
    { \
      std::stringstream rclcpp_stream_ss_; \
      rclcpp_stream_ss_ << stream_arg; \
      rcutils_log( \
        &__rclcpp_logging_location, severity, __rclcpp_logging_name, "%s", \
        rclcpp_stream_ss_.str().c_str()); \
    } \
  } while (0)

namespace rclcpp
{
namespace detail
{
// Once-only guard for the _ONCE macros; each call site owns one flag, which
// several threads may reach at the same time.
inline bool first_time(std::atomic<bool> & flag)
{
  return !flag.exchange(true);
}
// Skip-first guard for the _SKIPFIRST macros.
inline bool not_first_time(std::atomic<bool> & flag)
{
  return !first_time(flag);
}
}  // namespace detail
}  // namespace rclcpp

#define RCLCPP_LOG_ONCE_(severity, logger, ...) \
  do { \
    static std::atomic<bool> __rclcpp_logged_once{false}; \
    RCLCPP_LOG_IF_( \
      severity, ::rclcpp::detail::first_time(__rclcpp_logged_once), logger, __VA_ARGS__); \
  } while (0)

#define RCLCPP_LOG_SKIPFIRST_(severity, logger, ...) \
  do { \
    static std::atomic<bool> __rclcpp_seen_first{false}; \
    RCLCPP_LOG_IF_( \
      severity, ::rclcpp::detail::not_first_time(__rclcpp_seen_first), logger, __VA_ARGS__); \
  } while (0)

#define RCLCPP_LOG_STREAM_ONCE_(severity, logger, stream_arg) \
  do { \
    static std::atomic<bool> __rclcpp_logged_once{false}; \
    RCLCPP_LOG_STREAM_IF_( \
      severity, ::rclcpp::detail::first_time(__rclcpp_logged_once), logger, stream_arg); \
  } while (0)

#define RCLCPP_LOG_STREAM_SKIPFIRST_(severity, logger, stream_arg) \
  do { \
    static std::atomic<bool> __rclcpp_seen_first{false}; \
    RCLCPP_LOG_STREAM_IF_( \
      severity, ::rclcpp::detail::not_first_time(__rclcpp_seen_first), logger, stream_arg); \
  } while (0)

#define RCLCPP_NO_LOG_(...) do {} while (0)

#if RCLCPP_LOG_MIN_SEVERITY > RCLCPP_LOG_MIN_SEVERITY_DEBUG
#define RCLCPP_DEBUG(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_SKIPFIRST(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_STREAM(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_STREAM_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_STREAM_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_STREAM_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_DEBUG_STREAM_SKIPFIRST(...) RCLCPP_NO_LOG_()
#else
#define RCLCPP_DEBUG(logger, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_DEBUG, true, logger, __VA_ARGS__)
#define RCLCPP_DEBUG_ONCE(logger, ...) \
  RCLCPP_LOG_ONCE_(RCUTILS_LOG_SEVERITY_DEBUG, logger, __VA_ARGS__)
#define RCLCPP_DEBUG_EXPRESSION(logger, expression, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_DEBUG, (expression), logger, __VA_ARGS__)
#define RCLCPP_DEBUG_FUNCTION(logger, function, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_DEBUG, (*function)(), logger, __VA_ARGS__)
#define RCLCPP_DEBUG_SKIPFIRST(logger, ...) \
  RCLCPP_LOG_SKIPFIRST_(RCUTILS_LOG_SEVERITY_DEBUG, logger, __VA_ARGS__)
#define RCLCPP_DEBUG_STREAM(logger, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_DEBUG, true, logger, stream_arg)
#define RCLCPP_DEBUG_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LOG_STREAM_ONCE_(RCUTILS_LOG_SEVERITY_DEBUG, logger, stream_arg)
#define RCLCPP_DEBUG_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_DEBUG, (expression), logger, stream_arg)
#define RCLCPP_DEBUG_STREAM_FUNCTION(logger, function, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_DEBUG, (*function)(), logger, stream_arg)
#define RCLCPP_DEBUG_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LOG_STREAM_SKIPFIRST_(RCUTILS_LOG_SEVERITY_DEBUG, logger, stream_arg)
#endif

#if RCLCPP_LOG_MIN_SEVERITY > RCLCPP_LOG_MIN_SEVERITY_INFO
#define RCLCPP_INFO(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_SKIPFIRST(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_STREAM(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_STREAM_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_STREAM_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_STREAM_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_INFO_STREAM_SKIPFIRST(...) RCLCPP_NO_LOG_()
#else
#define RCLCPP_INFO(logger, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_INFO, true, logger, __VA_ARGS__)
#define RCLCPP_INFO_ONCE(logger, ...) \
  RCLCPP_LOG_ONCE_(RCUTILS_LOG_SEVERITY_INFO, logger, __VA_ARGS__)
#define RCLCPP_INFO_EXPRESSION(logger, expression, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_INFO, (expression), logger, __VA_ARGS__)
#define RCLCPP_INFO_FUNCTION(logger, function, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_INFO, (*function)(), logger, __VA_ARGS__)
#define RCLCPP_INFO_SKIPFIRST(logger, ...) \
  RCLCPP_LOG_SKIPFIRST_(RCUTILS_LOG_SEVERITY_INFO, logger, __VA_ARGS__)
#define RCLCPP_INFO_STREAM(logger, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_INFO, true, logger, stream_arg)
#define RCLCPP_INFO_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LOG_STREAM_ONCE_(RCUTILS_LOG_SEVERITY_INFO, logger, stream_arg)
#define RCLCPP_INFO_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_INFO, (expression), logger, stream_arg)
#define RCLCPP_INFO_STREAM_FUNCTION(logger, function, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_INFO, (*function)(), logger, stream_arg)
#define RCLCPP_INFO_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LOG_STREAM_SKIPFIRST_(RCUTILS_LOG_SEVERITY_INFO, logger, stream_arg)
#endif

#if RCLCPP_LOG_MIN_SEVERITY > RCLCPP_LOG_MIN_SEVERITY_WARN
#define RCLCPP_WARN(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_SKIPFIRST(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_STREAM(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_STREAM_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_STREAM_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_STREAM_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_WARN_STREAM_SKIPFIRST(...) RCLCPP_NO_LOG_()
#else
#define RCLCPP_WARN(logger, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_WARN, true, logger, __VA_ARGS__)
#define RCLCPP_WARN_ONCE(logger, ...) \
  RCLCPP_LOG_ONCE_(RCUTILS_LOG_SEVERITY_WARN, logger, __VA_ARGS__)
#define RCLCPP_WARN_EXPRESSION(logger, expression, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_WARN, (expression), logger, __VA_ARGS__)
#define RCLCPP_WARN_FUNCTION(logger, function, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_WARN, (*function)(), logger, __VA_ARGS__)
#define RCLCPP_WARN_SKIPFIRST(logger, ...) \
  RCLCPP_LOG_SKIPFIRST_(RCUTILS_LOG_SEVERITY_WARN, logger, __VA_ARGS__)
#define RCLCPP_WARN_STREAM(logger, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_WARN, true, logger, stream_arg)
#define RCLCPP_WARN_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LOG_STREAM_ONCE_(RCUTILS_LOG_SEVERITY_WARN, logger, stream_arg)
#define RCLCPP_WARN_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_WARN, (expression), logger, stream_arg)
#define RCLCPP_WARN_STREAM_FUNCTION(logger, function, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_WARN, (*function)(), logger, stream_arg)
#define RCLCPP_WARN_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LOG_STREAM_SKIPFIRST_(RCUTILS_LOG_SEVERITY_WARN, logger, stream_arg)
#endif

#if RCLCPP_LOG_MIN_SEVERITY > RCLCPP_LOG_MIN_SEVERITY_ERROR
#define RCLCPP_ERROR(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_SKIPFIRST(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_STREAM(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_STREAM_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_STREAM_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_STREAM_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_ERROR_STREAM_SKIPFIRST(...) RCLCPP_NO_LOG_()
#else
#define RCLCPP_ERROR(logger, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_ERROR, true, logger, __VA_ARGS__)
#define RCLCPP_ERROR_ONCE(logger, ...) \
  RCLCPP_LOG_ONCE_(RCUTILS_LOG_SEVERITY_ERROR, logger, __VA_ARGS__)
#define RCLCPP_ERROR_EXPRESSION(logger, expression, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_ERROR, (expression), logger, __VA_ARGS__)
#define RCLCPP_ERROR_FUNCTION(logger, function, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_ERROR, (*function)(), logger, __VA_ARGS__)
#define RCLCPP_ERROR_SKIPFIRST(logger, ...) \
  RCLCPP_LOG_SKIPFIRST_(RCUTILS_LOG_SEVERITY_ERROR, logger, __VA_ARGS__)
#define RCLCPP_ERROR_STREAM(logger, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_ERROR, true, logger, stream_arg)
#define RCLCPP_ERROR_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LOG_STREAM_ONCE_(RCUTILS_LOG_SEVERITY_ERROR, logger, stream_arg)
#define RCLCPP_ERROR_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_ERROR, (expression), logger, stream_arg)
#define RCLCPP_ERROR_STREAM_FUNCTION(logger, function, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_ERROR, (*function)(), logger, stream_arg)
#define RCLCPP_ERROR_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LOG_STREAM_SKIPFIRST_(RCUTILS_LOG_SEVERITY_ERROR, logger, stream_arg)
#endif

#if RCLCPP_LOG_MIN_SEVERITY > RCLCPP_LOG_MIN_SEVERITY_FATAL
#define RCLCPP_FATAL(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_SKIPFIRST(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_STREAM(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_STREAM_ONCE(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_STREAM_EXPRESSION(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_STREAM_FUNCTION(...) RCLCPP_NO_LOG_()
#define RCLCPP_FATAL_STREAM_SKIPFIRST(...) RCLCPP_NO_LOG_()
#else
#define RCLCPP_FATAL(logger, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_FATAL, true, logger, __VA_ARGS__)
#define RCLCPP_FATAL_ONCE(logger, ...) \
  RCLCPP_LOG_ONCE_(RCUTILS_LOG_SEVERITY_FATAL, logger, __VA_ARGS__)
#define RCLCPP_FATAL_EXPRESSION(logger, expression, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_FATAL, (expression), logger, __VA_ARGS__)
#define RCLCPP_FATAL_FUNCTION(logger, function, ...) \
  RCLCPP_LOG_IF_(RCUTILS_LOG_SEVERITY_FATAL, (*function)(), logger, __VA_ARGS__)
#define RCLCPP_FATAL_SKIPFIRST(logger, ...) \
  RCLCPP_LOG_SKIPFIRST_(RCUTILS_LOG_SEVERITY_FATAL, logger, __VA_ARGS__)
#define RCLCPP_FATAL_STREAM(logger, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_FATAL, true, logger, stream_arg)
#define RCLCPP_FATAL_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LOG_STREAM_ONCE_(RCUTILS_LOG_SEVERITY_FATAL, logger, stream_arg)
#define RCLCPP_FATAL_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_FATAL, (expression), logger, stream_arg)
#define RCLCPP_FATAL_STREAM_FUNCTION(logger, function, stream_arg) \
  RCLCPP_LOG_STREAM_IF_(RCUTILS_LOG_SEVERITY_FATAL, (*function)(), logger, stream_arg)
#define RCLCPP_FATAL_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LOG_STREAM_SKIPFIRST_(RCUTILS_LOG_SEVERITY_FATAL, logger, stream_arg)
#endif

#endif  // STANDIN_RCLCPP__LOGGING_HPP_
