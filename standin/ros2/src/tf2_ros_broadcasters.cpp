#include <algorithm>

#include "tf2_ros/static_transform_broadcaster.h"
#include "tf2_ros/transform_broadcaster.h"

namespace tf2_ros
{

void StaticTransformBroadcaster::sendTransform(const geometry_msgs::msg::TransformStamped & transform)
{
  sendTransform(std::vector<geometry_msgs::msg::TransformStamped>{transform});
}

void StaticTransformBroadcaster::sendTransform(
  const std::vector<geometry_msgs::msg::TransformStamped> & transforms)
{
  for (const auto & incoming : transforms) {
    auto stored = std::find_if(
      net_message_.transforms.begin(), net_message_.transforms.end(),
      [&incoming](const geometry_msgs::msg::TransformStamped & known) {
        return known.child_frame_id == incoming.child_frame_id;
      });
    if (stored != net_message_.transforms.end()) {
      *stored = incoming;
    } else {
      net_message_.transforms.push_back(incoming);
    }
  }
  publisher_->publish(net_message_);
}

void TransformBroadcaster::sendTransform(const geometry_msgs::msg::TransformStamped & transform)
{
  sendTransform(std::vector<geometry_msgs::msg::TransformStamped>{transform});
}

void TransformBroadcaster::sendTransform(
  const std::vector<geometry_msgs::msg::TransformStamped> & transforms)
{
  tf2_msgs::msg::TFMessage message;
  message.transforms = transforms;
  publisher_->publish(message);
}

}  // namespace tf2_ros
