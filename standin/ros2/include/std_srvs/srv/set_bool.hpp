// Stand-in for the generated interface std_srvs/srv/SetBool: same fields, types and defaults.
#ifndef STANDIN_STD_SRVS__SRV__SET_BOOL_HPP_
#define STANDIN_STD_SRVS__SRV__SET_BOOL_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace std_srvs
{
namespace srv
{

struct SetBool_Request
{
  using Type = SetBool_Request;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit SetBool_Request(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<SetBool_Request>;
  using ConstSharedPtr = std::shared_ptr<const SetBool_Request>;
  using UniquePtr = std::unique_ptr<SetBool_Request>;
  using ConstUniquePtr = std::unique_ptr<const SetBool_Request>;
  using WeakPtr = std::weak_ptr<SetBool_Request>;
  using ConstWeakPtr = std::weak_ptr<const SetBool_Request>;

  using _data_type = bool;
  bool data{false};

  bool operator==(const SetBool_Request & other) const
  {
    return data == other.data;
  }
  bool operator!=(const SetBool_Request & other) const {return !(*this == other);}
};

}  // namespace srv
}  // namespace std_srvs

namespace rosidl_generator_traits
{
template<>
inline const char * name<std_srvs::srv::SetBool_Request>() {return "std_srvs/srv/SetBool_Request";}
template<>
inline const char * data_type<std_srvs::srv::SetBool_Request>() {return "std_srvs::srv::SetBool_Request";}
template<>
struct is_message<std_srvs::srv::SetBool_Request>: std::true_type {};
}  // namespace rosidl_generator_traits

namespace std_srvs
{
namespace srv
{

struct SetBool_Response
{
  using Type = SetBool_Response;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit SetBool_Response(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<SetBool_Response>;
  using ConstSharedPtr = std::shared_ptr<const SetBool_Response>;
  using UniquePtr = std::unique_ptr<SetBool_Response>;
  using ConstUniquePtr = std::unique_ptr<const SetBool_Response>;
  using WeakPtr = std::weak_ptr<SetBool_Response>;
  using ConstWeakPtr = std::weak_ptr<const SetBool_Response>;

  using _success_type = bool;
  bool success{false};
  using _message_type = std::string;
  std::string message;

  bool operator==(const SetBool_Response & other) const
  {
    return success == other.success &&
      message == other.message;
  }
  bool operator!=(const SetBool_Response & other) const {return !(*this == other);}
};

}  // namespace srv
}  // namespace std_srvs

namespace rosidl_generator_traits
{
template<>
inline const char * name<std_srvs::srv::SetBool_Response>() {return "std_srvs/srv/SetBool_Response";}
template<>
inline const char * data_type<std_srvs::srv::SetBool_Response>() {return "std_srvs::srv::SetBool_Response";}
template<>
struct is_message<std_srvs::srv::SetBool_Response>: std::true_type {};
}  // namespace rosidl_generator_traits

namespace std_srvs
{
namespace srv
{
struct SetBool
{
  using Request = SetBool_Request;
  using Response = SetBool_Response;
};
}  // namespace srv
}  // namespace std_srvs

#endif  // STANDIN_STD_SRVS__SRV__SET_BOOL_HPP_
