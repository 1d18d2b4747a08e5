// Stand-in for the generated interface geometry_msgs/msg/PoseStamped: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__POSE_STAMPED_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__POSE_STAMPED_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "std_msgs/msg/header.hpp"
#include "geometry_msgs/msg/pose.hpp"

namespace geometry_msgs
{
namespace msg
{

struct PoseStamped
{
  using Type = PoseStamped;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit PoseStamped(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<PoseStamped>;
  using ConstSharedPtr = std::shared_ptr<const PoseStamped>;
  using UniquePtr = std::unique_ptr<PoseStamped>;
  using ConstUniquePtr = std::unique_ptr<const PoseStamped>;
  using WeakPtr = std::weak_ptr<PoseStamped>;
  using ConstWeakPtr = std::weak_ptr<const PoseStamped>;

  using _header_type = std_msgs::msg::Header;
  std_msgs::msg::Header header;
  using _pose_type = geometry_msgs::msg::Pose;
  geometry_msgs::msg::Pose pose;

  bool operator==(const PoseStamped & other) const
  {
    return header == other.header &&
      pose == other.pose;
  }
  bool operator!=(const PoseStamped & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::PoseStamped>() {return "geometry_msgs/msg/PoseStamped";}
template<>
inline const char * data_type<geometry_msgs::msg::PoseStamped>() {return "geometry_msgs::msg::PoseStamped";}
template<>
struct is_message<geometry_msgs::msg::PoseStamped>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__POSE_STAMPED_HPP_
