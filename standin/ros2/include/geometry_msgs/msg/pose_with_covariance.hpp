// Stand-in for the generated interface geometry_msgs/msg/PoseWithCovariance: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__POSE_WITH_COVARIANCE_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__POSE_WITH_COVARIANCE_HPP_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "geometry_msgs/msg/pose.hpp"

namespace geometry_msgs
{
namespace msg
{

struct PoseWithCovariance
{
  using Type = PoseWithCovariance;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit PoseWithCovariance(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<PoseWithCovariance>;
  using ConstSharedPtr = std::shared_ptr<const PoseWithCovariance>;
  using UniquePtr = std::unique_ptr<PoseWithCovariance>;
  using ConstUniquePtr = std::unique_ptr<const PoseWithCovariance>;
  using WeakPtr = std::weak_ptr<PoseWithCovariance>;
  using ConstWeakPtr = std::weak_ptr<const PoseWithCovariance>;

  using _pose_type = geometry_msgs::msg::Pose;
  geometry_msgs::msg::Pose pose;
  using _covariance_type = std::array<double, 36>;
  std::array<double, 36> covariance{};

  bool operator==(const PoseWithCovariance & other) const
  {
    return pose == other.pose &&
      covariance == other.covariance;
  }
  bool operator!=(const PoseWithCovariance & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::PoseWithCovariance>() {return "geometry_msgs/msg/PoseWithCovariance";}
template<>
inline const char * data_type<geometry_msgs::msg::PoseWithCovariance>() {return "geometry_msgs::msg::PoseWithCovariance";}
template<>
struct is_message<geometry_msgs::msg::PoseWithCovariance>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__POSE_WITH_COVARIANCE_HPP_
