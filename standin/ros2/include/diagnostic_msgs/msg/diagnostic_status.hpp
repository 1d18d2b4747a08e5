// Stand-in for the generated interface diagnostic_msgs/msg/DiagnosticStatus: same fields, types and defaults.
#ifndef STANDIN_DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_STATUS_HPP_
#define STANDIN_DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_STATUS_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "diagnostic_msgs/msg/key_value.hpp"

namespace diagnostic_msgs
{
namespace msg
{

struct DiagnosticStatus
{
  using Type = DiagnosticStatus;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit DiagnosticStatus(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<DiagnosticStatus>;
  using ConstSharedPtr = std::shared_ptr<const DiagnosticStatus>;
  using UniquePtr = std::unique_ptr<DiagnosticStatus>;
  using ConstUniquePtr = std::unique_ptr<const DiagnosticStatus>;
  using WeakPtr = std::weak_ptr<DiagnosticStatus>;
  using ConstWeakPtr = std::weak_ptr<const DiagnosticStatus>;

  // Levels of operation (the message's byte constants).
  static constexpr unsigned char OK = 0u;
  static constexpr unsigned char WARN = 1u;
  static constexpr unsigned char ERROR = 2u;
  static constexpr unsigned char STALE = 3u;

  using _level_type = unsigned char;
  unsigned char level{0};
  using _name_type = std::string;
  std::string name;
  using _message_type = std::string;
  std::string message;
  using _hardware_id_type = std::string;
  std::string hardware_id;
  using _values_type = std::vector<diagnostic_msgs::msg::KeyValue>;
  std::vector<diagnostic_msgs::msg::KeyValue> values;

  bool operator==(const DiagnosticStatus & other) const
  {
    return level == other.level &&
      name == other.name &&
      message == other.message &&
      hardware_id == other.hardware_id &&
      values == other.values;
  }
  bool operator!=(const DiagnosticStatus & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace diagnostic_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<diagnostic_msgs::msg::DiagnosticStatus>() {return "diagnostic_msgs/msg/DiagnosticStatus";}
template<>
inline const char * data_type<diagnostic_msgs::msg::DiagnosticStatus>() {return "diagnostic_msgs::msg::DiagnosticStatus";}
template<>
struct is_message<diagnostic_msgs::msg::DiagnosticStatus>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_STATUS_HPP_
