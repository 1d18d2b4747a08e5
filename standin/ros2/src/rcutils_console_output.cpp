// The default rcutils output handler: one formatted line per message on the
// console, written in a single call so lines of concurrent threads never mix.
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "rcutils/logging.h"

namespace
{

constexpr const char * kDefaultFormat = "[{severity}] [{time}] [{name}]: {message}";

std::string format_message(const char * format, va_list * args)
{
  va_list measure;
  va_copy(measure, *args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) {
    return std::string();
  }
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  va_list print;
  va_copy(print, *args);
  std::vsnprintf(buffer.data(), buffer.size(), format, print);
  va_end(print);
  return std::string(buffer.data(), static_cast<size_t>(length));
}

// Seconds with nine decimals; floors so that negative stamps stay readable.
std::string format_seconds(rcutils_time_point_value_t nanoseconds)
{
  int64_t seconds = nanoseconds / 1000000000LL;
  int64_t remainder = nanoseconds % 1000000000LL;
  if (remainder < 0) {
    remainder += 1000000000LL;
    seconds -= 1;
  }
  char text[48];
  std::snprintf(text, sizeof(text), "%" PRId64 ".%09" PRId64, seconds, remainder);
  return text;
}

struct LineFields
{
  const rcutils_log_location_t * location;
  const char * severity;
  const char * name;
  rcutils_time_point_value_t timestamp;
  const std::string & message;
};

std::string token_value(const std::string & token, const LineFields & fields)
{
  if (token == "severity") {return fields.severity;}
  if (token == "name") {return fields.name;}
  if (token == "message") {return fields.message;}
  if (token == "time") {return format_seconds(fields.timestamp);}
  if (token == "time_as_nanoseconds") {return std::to_string(fields.timestamp);}
  const rcutils_log_location_t * location = fields.location;
  if (token == "function_name") {
    return location && location->function_name ? location->function_name : "\"\"";
  }
  if (token == "file_name") {
    return location && location->file_name ? location->file_name : "\"\"";
  }
  if (token == "line_number") {
    return location ? std::to_string(location->line_number) : "0";
  }
  return "{" + token + "}";
}

// Replaces every "{token}" of the pattern; unknown tokens stay as written.
std::string expand_pattern(const std::string & pattern, const LineFields & fields)
{
  std::string line;
  size_t position = 0;
  while (position < pattern.size()) {
    const size_t open = pattern.find('{', position);
    const size_t close = open == std::string::npos ? open : pattern.find('}', open);
    if (close == std::string::npos) {
      line.append(pattern, position, std::string::npos);
      break;
    }
    line.append(pattern, position, open - position);
    line += token_value(pattern.substr(open + 1, close - open - 1), fields);
    position = close + 1;
  }
  return line;
}

const std::string & line_pattern()
{
  static const std::string pattern = [] {
      const char * from_environment = std::getenv("RCUTILS_CONSOLE_OUTPUT_FORMAT");
      return std::string(
        from_environment && from_environment[0] != '\0' ? from_environment : kDefaultFormat);
    }();
  return pattern;
}

FILE * console_stream()
{
  static FILE * const stream = [] {
      const char * use_stdout = std::getenv("RCUTILS_LOGGING_USE_STDOUT");
      return use_stdout != nullptr && std::strcmp(use_stdout, "1") == 0 ? stdout : stderr;
    }();
  return stream;
}

}  // namespace

extern "C" void rcutils_logging_console_output_handler(
  const rcutils_log_location_t * location, int severity, const char * name,
  rcutils_time_point_value_t timestamp, const char * format, va_list * args)
{
  if (format == nullptr || args == nullptr ||
    severity < RCUTILS_LOG_SEVERITY_DEBUG || severity > RCUTILS_LOG_SEVERITY_FATAL ||
    g_rcutils_log_severity_names[severity] == nullptr)
  {
    return;
  }
  const std::string message = format_message(format, args);
  const LineFields fields{
    location, g_rcutils_log_severity_names[severity], name ? name : "", timestamp, message};
  const std::string line = expand_pattern(line_pattern(), fields) + "\n";

  static std::mutex write_mutex;
  std::lock_guard<std::mutex> lock(write_mutex);
  FILE * stream = console_stream();
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fflush(stream);
}
