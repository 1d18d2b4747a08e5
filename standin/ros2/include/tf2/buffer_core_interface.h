// Abstract interface of a transform store that answers lookups between frames.
#ifndef TF2__BUFFER_CORE_INTERFACE_H_
#define TF2__BUFFER_CORE_INTERFACE_H_

#include <string>
#include <vector>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "tf2/time.h"

namespace tf2
{

class BufferCoreInterface
{
public:
  virtual ~BufferCoreInterface() = default;

  virtual void clear() = 0;

  virtual geometry_msgs::msg::TransformStamped
  lookupTransform(
    const std::string & target_frame,
    const std::string & source_frame,
    const tf2::TimePoint & time) const = 0;

  virtual geometry_msgs::msg::TransformStamped
  lookupTransform(
    const std::string & target_frame,
    const tf2::TimePoint & target_time,
    const std::string & source_frame,
    const tf2::TimePoint & source_time,
    const std::string & fixed_frame) const = 0;

  virtual bool
  canTransform(
    const std::string & target_frame,
    const std::string & source_frame,
    const tf2::TimePoint & time,
    std::string * error_msg) const = 0;

  virtual bool
  canTransform(
    const std::string & target_frame,
    const tf2::TimePoint & target_time,
    const std::string & source_frame,
    const tf2::TimePoint & source_time,
    const std::string & fixed_frame,
    std::string * error_msg) const = 0;

  virtual std::vector<std::string> getAllFrameNames() const = 0;
};

}  // namespace tf2

#endif  // TF2__BUFFER_CORE_INTERFACE_H_
