// Stand-in for the generated interface sensor_msgs/msg/CompressedImage: same fields, types and defaults.
#ifndef STANDIN_SENSOR_MSGS__MSG__COMPRESSED_IMAGE_HPP_
#define STANDIN_SENSOR_MSGS__MSG__COMPRESSED_IMAGE_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "std_msgs/msg/header.hpp"

namespace sensor_msgs
{
namespace msg
{

struct CompressedImage
{
  using Type = CompressedImage;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit CompressedImage(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<CompressedImage>;
  using ConstSharedPtr = std::shared_ptr<const CompressedImage>;
  using UniquePtr = std::unique_ptr<CompressedImage>;
  using ConstUniquePtr = std::unique_ptr<const CompressedImage>;
  using WeakPtr = std::weak_ptr<CompressedImage>;
  using ConstWeakPtr = std::weak_ptr<const CompressedImage>;

  using _header_type = std_msgs::msg::Header;
  std_msgs::msg::Header header;
  using _format_type = std::string;
  std::string format;
  using _data_type = std::vector<uint8_t>;
  std::vector<uint8_t> data;

  bool operator==(const CompressedImage & other) const
  {
    return header == other.header &&
      format == other.format &&
      data == other.data;
  }
  bool operator!=(const CompressedImage & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace sensor_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<sensor_msgs::msg::CompressedImage>() {return "sensor_msgs/msg/CompressedImage";}
template<>
inline const char * data_type<sensor_msgs::msg::CompressedImage>() {return "sensor_msgs::msg::CompressedImage";}
template<>
struct is_message<sensor_msgs::msg::CompressedImage>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_SENSOR_MSGS__MSG__COMPRESSED_IMAGE_HPP_
