// Types for asynchronous transform requests. Only the types exist here: nothing of
// ours waits asynchronously, so no waitForTransform is offered.
#ifndef TF2_ROS__ASYNC_BUFFER_INTERFACE_H_
#define TF2_ROS__ASYNC_BUFFER_INTERFACE_H_

#include <functional>
#include <future>

#include "geometry_msgs/msg/transform_stamped.hpp"

namespace tf2_ros
{

using TransformStampedFuture = std::shared_future<geometry_msgs::msg::TransformStamped>;
using TransformReadyCallback = std::function<void (const TransformStampedFuture &)>;

class AsyncBufferInterface
{
public:
  virtual ~AsyncBufferInterface() = default;
};

}  // namespace tf2_ros

#endif  // TF2_ROS__ASYNC_BUFFER_INTERFACE_H_
