// Stand-in for the generated interface diagnostic_msgs/msg/DiagnosticArray: same fields, types and defaults.
#ifndef STANDIN_DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_ARRAY_HPP_
#define STANDIN_DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_ARRAY_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "diagnostic_msgs/msg/diagnostic_status.hpp"
#include "std_msgs/msg/header.hpp"

namespace diagnostic_msgs
{
namespace msg
{

struct DiagnosticArray
{
  using Type = DiagnosticArray;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit DiagnosticArray(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<DiagnosticArray>;
  using ConstSharedPtr = std::shared_ptr<const DiagnosticArray>;
  using UniquePtr = std::unique_ptr<DiagnosticArray>;
  using ConstUniquePtr = std::unique_ptr<const DiagnosticArray>;
  using WeakPtr = std::weak_ptr<DiagnosticArray>;
  using ConstWeakPtr = std::weak_ptr<const DiagnosticArray>;

  using _header_type = std_msgs::msg::Header;
  std_msgs::msg::Header header;
  using _status_type = std::vector<diagnostic_msgs::msg::DiagnosticStatus>;
  std::vector<diagnostic_msgs::msg::DiagnosticStatus> status;

  bool operator==(const DiagnosticArray & other) const
  {
    return header == other.header &&
      status == other.status;
  }
  bool operator!=(const DiagnosticArray & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace diagnostic_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<diagnostic_msgs::msg::DiagnosticArray>() {return "diagnostic_msgs/msg/DiagnosticArray";}
template<>
inline const char * data_type<diagnostic_msgs::msg::DiagnosticArray>() {return "diagnostic_msgs::msg::DiagnosticArray";}
template<>
struct is_message<diagnostic_msgs::msg::DiagnosticArray>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_ARRAY_HPP_
