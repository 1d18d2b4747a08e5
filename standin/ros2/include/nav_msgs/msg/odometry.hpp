// Stand-in for the generated interface nav_msgs/msg/Odometry: same fields, types and defaults.
#ifndef STANDIN_NAV_MSGS__MSG__ODOMETRY_HPP_
#define STANDIN_NAV_MSGS__MSG__ODOMETRY_HPP_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "std_msgs/msg/header.hpp"
#include "geometry_msgs/msg/pose_with_covariance.hpp"
#include "geometry_msgs/msg/twist_with_covariance.hpp"

namespace nav_msgs
{
namespace msg
{

struct Odometry
{
  using Type = Odometry;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Odometry(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Odometry>;
  using ConstSharedPtr = std::shared_ptr<const Odometry>;
  using UniquePtr = std::unique_ptr<Odometry>;
  using ConstUniquePtr = std::unique_ptr<const Odometry>;
  using WeakPtr = std::weak_ptr<Odometry>;
  using ConstWeakPtr = std::weak_ptr<const Odometry>;

  using _header_type = std_msgs::msg::Header;
  std_msgs::msg::Header header;
  using _child_frame_id_type = std::string;
  std::string child_frame_id;
  using _pose_type = geometry_msgs::msg::PoseWithCovariance;
  geometry_msgs::msg::PoseWithCovariance pose;
  using _twist_type = geometry_msgs::msg::TwistWithCovariance;
  geometry_msgs::msg::TwistWithCovariance twist;

  bool operator==(const Odometry & other) const
  {
    return header == other.header &&
      child_frame_id == other.child_frame_id &&
      pose == other.pose &&
      twist == other.twist;
  }
  bool operator!=(const Odometry & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace nav_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<nav_msgs::msg::Odometry>() {return "nav_msgs/msg/Odometry";}
template<>
inline const char * data_type<nav_msgs::msg::Odometry>() {return "nav_msgs::msg::Odometry";}
template<>
struct is_message<nav_msgs::msg::Odometry>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_NAV_MSGS__MSG__ODOMETRY_HPP_
