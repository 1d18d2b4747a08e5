// Stand-in for the generated interface geometry_msgs/msg/TwistWithCovariance: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__TWIST_WITH_COVARIANCE_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__TWIST_WITH_COVARIANCE_HPP_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "geometry_msgs/msg/twist.hpp"

namespace geometry_msgs
{
namespace msg
{

struct TwistWithCovariance
{
  using Type = TwistWithCovariance;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit TwistWithCovariance(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<TwistWithCovariance>;
  using ConstSharedPtr = std::shared_ptr<const TwistWithCovariance>;
  using UniquePtr = std::unique_ptr<TwistWithCovariance>;
  using ConstUniquePtr = std::unique_ptr<const TwistWithCovariance>;
  using WeakPtr = std::weak_ptr<TwistWithCovariance>;
  using ConstWeakPtr = std::weak_ptr<const TwistWithCovariance>;

  using _twist_type = geometry_msgs::msg::Twist;
  geometry_msgs::msg::Twist twist;
  using _covariance_type = std::array<double, 36>;
  std::array<double, 36> covariance{};

  bool operator==(const TwistWithCovariance & other) const
  {
    return twist == other.twist &&
      covariance == other.covariance;
  }
  bool operator!=(const TwistWithCovariance & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::TwistWithCovariance>() {return "geometry_msgs/msg/TwistWithCovariance";}
template<>
inline const char * data_type<geometry_msgs::msg::TwistWithCovariance>() {return "geometry_msgs::msg::TwistWithCovariance";}
template<>
struct is_message<geometry_msgs::msg::TwistWithCovariance>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__TWIST_WITH_COVARIANCE_HPP_
