// Stand-in for the generated interface std_msgs/msg/ColorRGBA: same fields, types and defaults.
#ifndef STANDIN_STD_MSGS__MSG__COLOR_RGBA_HPP_
#define STANDIN_STD_MSGS__MSG__COLOR_RGBA_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace std_msgs
{
namespace msg
{

struct ColorRGBA
{
  using Type = ColorRGBA;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit ColorRGBA(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<ColorRGBA>;
  using ConstSharedPtr = std::shared_ptr<const ColorRGBA>;
  using UniquePtr = std::unique_ptr<ColorRGBA>;
  using ConstUniquePtr = std::unique_ptr<const ColorRGBA>;
  using WeakPtr = std::weak_ptr<ColorRGBA>;
  using ConstWeakPtr = std::weak_ptr<const ColorRGBA>;

  using _r_type = float;
  float r{0.0f};
  using _g_type = float;
  float g{0.0f};
  using _b_type = float;
  float b{0.0f};
  using _a_type = float;
  float a{0.0f};

  bool operator==(const ColorRGBA & other) const
  {
    return r == other.r &&
      g == other.g &&
      b == other.b &&
      a == other.a;
  }
  bool operator!=(const ColorRGBA & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace std_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<std_msgs::msg::ColorRGBA>() {return "std_msgs/msg/ColorRGBA";}
template<>
inline const char * data_type<std_msgs::msg::ColorRGBA>() {return "std_msgs::msg::ColorRGBA";}
template<>
struct is_message<std_msgs::msg::ColorRGBA>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_STD_MSGS__MSG__COLOR_RGBA_HPP_
