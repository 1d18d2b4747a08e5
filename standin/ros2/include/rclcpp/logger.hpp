// Stand-in for rclcpp/logger.hpp.
#ifndef STANDIN_RCLCPP__LOGGER_HPP_
#define STANDIN_RCLCPP__LOGGER_HPP_

#include <memory>
#include <string>

#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

class Logger;

Logger get_logger(const std::string & name);

class Logger
{
public:
  enum class Level
  {
    Unset = 0,
    Debug = 10,
    Info = 20,
    Warn = 30,
    Error = 40,
    Fatal = 50,
  };

  Logger(const Logger &) = default;
  Logger & operator=(const Logger &) = default;

  // Null for a logger that was never given a name; real rclcpp hands such a
  // logger out when logging is compiled out.
  const char * get_name() const;

  // Non-const, as in this rclcpp release.
  Logger get_child(const std::string & suffix);

  // Throws std::runtime_error when rcutils rejects the level.
  void set_level(Level level);

private:
  friend Logger rclcpp::get_logger(const std::string & name);

  Logger()
  : name_(nullptr) {}
  explicit Logger(const std::string & name)
  : name_(new std::string(name)) {}

  std::shared_ptr<const std::string> name_;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__LOGGER_HPP_
