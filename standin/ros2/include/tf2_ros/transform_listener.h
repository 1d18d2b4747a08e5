// Subscribes to "/tf" and "/tf_static" and writes every received transform into a
// buffer, optionally from a thread of its own.
#ifndef TF2_ROS__TRANSFORM_LISTENER_H_
#define TF2_ROS__TRANSFORM_LISTENER_H_

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "rclcpp/rclcpp.hpp"
#include "tf2/buffer_core.h"
#include "tf2/time.h"
#include "tf2_msgs/msg/tf_message.hpp"
#include "tf2_ros/qos.hpp"

namespace tf2_ros
{

namespace detail
{

template<class AllocatorT = std::allocator<void>>
rclcpp::SubscriptionOptionsWithAllocator<AllocatorT>
get_default_transform_listener_sub_options()
{
  return rclcpp::SubscriptionOptionsWithAllocator<AllocatorT>();
}

template<class AllocatorT = std::allocator<void>>
rclcpp::SubscriptionOptionsWithAllocator<AllocatorT>
get_default_transform_listener_static_sub_options()
{
  return rclcpp::SubscriptionOptionsWithAllocator<AllocatorT>();
}

}  // namespace detail

class TransformListener
{
public:
  // Creates a hidden node of its own on the global context (rclcpp::init must have
  // been called).
  explicit TransformListener(tf2::BufferCore & buffer, bool spin_thread = true);

  // With spin_thread false, whoever spins `node` delivers the transforms. With
  // spin_thread true the subscriptions live on a hidden node spun by the listener's
  // thread, so `node` stays free for its own executor.
  template<class NodeT, class AllocatorT = std::allocator<void>>
  TransformListener(
    tf2::BufferCore & buffer,
    NodeT && node,
    bool spin_thread = true,
    const rclcpp::QoS & qos = DynamicListenerQoS(),
    const rclcpp::QoS & static_qos = StaticListenerQoS(),
    const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & options =
    detail::get_default_transform_listener_sub_options<AllocatorT>(),
    const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & static_options =
    detail::get_default_transform_listener_static_sub_options<AllocatorT>())
  : buffer_(buffer)
  {
    if (spin_thread) {
      createHiddenNode(node->get_node_options().context());
      subscribe(optional_default_node_, qos, static_qos, options, static_options);
      startSpinThread();
    } else {
      subscribe(node, qos, static_qos, options, static_options);
    }
  }

  // Stops and joins the listener's thread, if it has one.
  virtual ~TransformListener();

  TransformListener(const TransformListener &) = delete;
  TransformListener & operator=(const TransformListener &) = delete;

private:
  using MessageCallback = std::function<void (tf2_msgs::msg::TFMessage::ConstSharedPtr)>;

  template<class NodePtrT, class AllocatorT>
  void subscribe(
    NodePtrT && node, const rclcpp::QoS & qos, const rclcpp::QoS & static_qos,
    const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & options,
    const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & static_options)
  {
    logger_ = std::make_unique<rclcpp::Logger>(node->get_logger());
    MessageCallback cb = [this](tf2_msgs::msg::TFMessage::ConstSharedPtr msg) {
        subscription_callback(msg, false);
      };
    MessageCallback static_cb = [this](tf2_msgs::msg::TFMessage::ConstSharedPtr msg) {
        subscription_callback(msg, true);
      };
    message_subscription_tf_ = node->template create_subscription<tf2_msgs::msg::TFMessage>(
      "/tf", qos, std::move(cb), options);
    message_subscription_tf_static_ =
      node->template create_subscription<tf2_msgs::msg::TFMessage>(
      "/tf_static", static_qos, std::move(static_cb), static_options);
  }

  // On the given context, or the global default one for nullptr.
  void createHiddenNode(rclcpp::Context::SharedPtr context = nullptr);
  void startSpinThread();
  void stopSpinThread();
  void subscription_callback(tf2_msgs::msg::TFMessage::ConstSharedPtr msg, bool is_static);

  tf2::BufferCore & buffer_;
  rclcpp::Node::SharedPtr optional_default_node_;
  std::unique_ptr<rclcpp::Logger> logger_;
  rclcpp::SubscriptionBase::SharedPtr message_subscription_tf_;
  rclcpp::SubscriptionBase::SharedPtr message_subscription_tf_static_;
  rclcpp::executors::SingleThreadedExecutor::SharedPtr executor_;
  std::unique_ptr<std::thread> dedicated_listener_thread_;
  std::atomic<bool> spin_finished_{false};
};

}  // namespace tf2_ros

#endif  // TF2_ROS__TRANSFORM_LISTENER_H_
