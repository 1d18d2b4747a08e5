// Stand-in for the generated interface std_msgs/msg/Header: same fields, types and defaults.
#ifndef STANDIN_STD_MSGS__MSG__HEADER_HPP_
#define STANDIN_STD_MSGS__MSG__HEADER_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "builtin_interfaces/msg/time.hpp"

namespace std_msgs
{
namespace msg
{

struct Header
{
  using Type = Header;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Header(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Header>;
  using ConstSharedPtr = std::shared_ptr<const Header>;
  using UniquePtr = std::unique_ptr<Header>;
  using ConstUniquePtr = std::unique_ptr<const Header>;
  using WeakPtr = std::weak_ptr<Header>;
  using ConstWeakPtr = std::weak_ptr<const Header>;

  using _stamp_type = builtin_interfaces::msg::Time;
  builtin_interfaces::msg::Time stamp;
  using _frame_id_type = std::string;
  std::string frame_id;

  bool operator==(const Header & other) const
  {
    return stamp == other.stamp &&
      frame_id == other.frame_id;
  }
  bool operator!=(const Header & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace std_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<std_msgs::msg::Header>() {return "std_msgs/msg/Header";}
template<>
inline const char * data_type<std_msgs::msg::Header>() {return "std_msgs::msg::Header";}
template<>
struct is_message<std_msgs::msg::Header>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_STD_MSGS__MSG__HEADER_HPP_
