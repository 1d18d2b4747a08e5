// Stand-in for the generated interface geometry_msgs/msg/Quaternion: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__QUATERNION_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__QUATERNION_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace geometry_msgs
{
namespace msg
{

struct Quaternion
{
  using Type = Quaternion;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Quaternion(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Quaternion>;
  using ConstSharedPtr = std::shared_ptr<const Quaternion>;
  using UniquePtr = std::unique_ptr<Quaternion>;
  using ConstUniquePtr = std::unique_ptr<const Quaternion>;
  using WeakPtr = std::weak_ptr<Quaternion>;
  using ConstWeakPtr = std::weak_ptr<const Quaternion>;

  using _x_type = double;
  double x{0.0};
  using _y_type = double;
  double y{0.0};
  using _z_type = double;
  double z{0.0};
  using _w_type = double;
  double w{1.0};

  bool operator==(const Quaternion & other) const
  {
    return x == other.x &&
      y == other.y &&
      z == other.z &&
      w == other.w;
  }
  bool operator!=(const Quaternion & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::Quaternion>() {return "geometry_msgs/msg/Quaternion";}
template<>
inline const char * data_type<geometry_msgs::msg::Quaternion>() {return "geometry_msgs::msg::Quaternion";}
template<>
struct is_message<geometry_msgs::msg::Quaternion>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__QUATERNION_HPP_
