// rclcpp::Logger: a named handle onto the rcutils logger hierarchy.
#include <stdexcept>
#include <string>

#include "rclcpp/logger.hpp"
#include "rcutils/logging.h"

namespace rclcpp
{

Logger get_logger(const std::string & name)
{
  return Logger(name);
}

const char * Logger::get_name() const
{
  return name_ ? name_->c_str() : nullptr;
}

Logger Logger::get_child(const std::string & suffix)
{
  if (!name_) {
    return Logger();
  }
  return Logger(*name_ + "." + suffix);
}

void Logger::set_level(Level level)
{
  if (!name_) {
    return;
  }
  const rcutils_ret_t ret = rcutils_logging_set_logger_level(
    name_->c_str(), static_cast<int>(level));
  if (ret != RCUTILS_RET_OK) {
    throw std::runtime_error("Couldn't set logger level: invalid level for logger '" + *name_ + "'");
  }
}

}  // namespace rclcpp
