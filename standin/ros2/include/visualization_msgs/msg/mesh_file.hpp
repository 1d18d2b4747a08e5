// Stand-in for the generated interface visualization_msgs/msg/MeshFile: same fields, types and defaults.
#ifndef STANDIN_VISUALIZATION_MSGS__MSG__MESH_FILE_HPP_
#define STANDIN_VISUALIZATION_MSGS__MSG__MESH_FILE_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace visualization_msgs
{
namespace msg
{

struct MeshFile
{
  using Type = MeshFile;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit MeshFile(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<MeshFile>;
  using ConstSharedPtr = std::shared_ptr<const MeshFile>;
  using UniquePtr = std::unique_ptr<MeshFile>;
  using ConstUniquePtr = std::unique_ptr<const MeshFile>;
  using WeakPtr = std::weak_ptr<MeshFile>;
  using ConstWeakPtr = std::weak_ptr<const MeshFile>;

  using _filename_type = std::string;
  std::string filename;
  using _data_type = std::vector<uint8_t>;
  std::vector<uint8_t> data;

  bool operator==(const MeshFile & other) const
  {
    return filename == other.filename &&
      data == other.data;
  }
  bool operator!=(const MeshFile & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace visualization_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<visualization_msgs::msg::MeshFile>() {return "visualization_msgs/msg/MeshFile";}
template<>
inline const char * data_type<visualization_msgs::msg::MeshFile>() {return "visualization_msgs::msg::MeshFile";}
template<>
struct is_message<visualization_msgs::msg::MeshFile>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_VISUALIZATION_MSGS__MSG__MESH_FILE_HPP_
