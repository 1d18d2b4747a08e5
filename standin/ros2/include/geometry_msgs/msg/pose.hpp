// Stand-in for the generated interface geometry_msgs/msg/Pose: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__POSE_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__POSE_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "geometry_msgs/msg/point.hpp"
#include "geometry_msgs/msg/quaternion.hpp"

namespace geometry_msgs
{
namespace msg
{

struct Pose
{
  using Type = Pose;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Pose(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Pose>;
  using ConstSharedPtr = std::shared_ptr<const Pose>;
  using UniquePtr = std::unique_ptr<Pose>;
  using ConstUniquePtr = std::unique_ptr<const Pose>;
  using WeakPtr = std::weak_ptr<Pose>;
  using ConstWeakPtr = std::weak_ptr<const Pose>;

  using _position_type = geometry_msgs::msg::Point;
  geometry_msgs::msg::Point position;
  using _orientation_type = geometry_msgs::msg::Quaternion;
  geometry_msgs::msg::Quaternion orientation;

  bool operator==(const Pose & other) const
  {
    return position == other.position &&
      orientation == other.orientation;
  }
  bool operator!=(const Pose & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::Pose>() {return "geometry_msgs/msg/Pose";}
template<>
inline const char * data_type<geometry_msgs::msg::Pose>() {return "geometry_msgs::msg::Pose";}
template<>
struct is_message<geometry_msgs::msg::Pose>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__POSE_HPP_
