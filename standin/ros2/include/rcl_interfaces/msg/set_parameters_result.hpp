// Stand-in for the generated interface rcl_interfaces/msg/SetParametersResult: same fields, types and defaults.
#ifndef STANDIN_RCL_INTERFACES__MSG__SET_PARAMETERS_RESULT_HPP_
#define STANDIN_RCL_INTERFACES__MSG__SET_PARAMETERS_RESULT_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace rcl_interfaces
{
namespace msg
{

struct SetParametersResult
{
  using Type = SetParametersResult;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit SetParametersResult(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<SetParametersResult>;
  using ConstSharedPtr = std::shared_ptr<const SetParametersResult>;
  using UniquePtr = std::unique_ptr<SetParametersResult>;
  using ConstUniquePtr = std::unique_ptr<const SetParametersResult>;
  using WeakPtr = std::weak_ptr<SetParametersResult>;
  using ConstWeakPtr = std::weak_ptr<const SetParametersResult>;

  using _successful_type = bool;
  bool successful{false};
  using _reason_type = std::string;
  std::string reason;

  bool operator==(const SetParametersResult & other) const
  {
    return successful == other.successful &&
      reason == other.reason;
  }
  bool operator!=(const SetParametersResult & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace rcl_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<rcl_interfaces::msg::SetParametersResult>() {return "rcl_interfaces/msg/SetParametersResult";}
template<>
inline const char * data_type<rcl_interfaces::msg::SetParametersResult>() {return "rcl_interfaces::msg::SetParametersResult";}
template<>
struct is_message<rcl_interfaces::msg::SetParametersResult>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_RCL_INTERFACES__MSG__SET_PARAMETERS_RESULT_HPP_
