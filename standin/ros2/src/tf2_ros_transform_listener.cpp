#include "tf2_ros/transform_listener.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>

namespace tf2_ros
{

namespace
{

// How often the destructor repeats its cancel while waiting for the spin thread.
constexpr std::chrono::milliseconds kCancelRetryInterval{1};

}  // namespace

TransformListener::TransformListener(tf2::BufferCore & buffer, bool spin_thread)
: buffer_(buffer)
{
  createHiddenNode();
  subscribe(
    optional_default_node_, DynamicListenerQoS(), StaticListenerQoS(),
    detail::get_default_transform_listener_sub_options<>(),
    detail::get_default_transform_listener_static_sub_options<>());
  if (spin_thread) {
    startSpinThread();
  }
}

TransformListener::~TransformListener()
{
  if (dedicated_listener_thread_) {
    stopSpinThread();
  }
}

void TransformListener::createHiddenNode(rclcpp::Context::SharedPtr context)
{
  // The address makes the name unique per listener; the remap in the node's own
  // arguments wins over a "__node:=" given to the whole process.
  char node_name[64];
  std::snprintf(
    node_name, sizeof(node_name), "transform_listener_impl_%jx",
    static_cast<uintmax_t>(reinterpret_cast<uintptr_t>(this)));
  rclcpp::NodeOptions options;
  options.arguments({"--ros-args", "-r", "__node:=" + std::string(node_name)});
  options.start_parameter_event_publisher(false);
  options.start_parameter_services(false);
  if (context) {
    options.context(context);
  }
  optional_default_node_ = rclcpp::Node::make_shared(node_name, options);
}

void TransformListener::startSpinThread()
{
  rclcpp::ExecutorOptions options;
  options.context = optional_default_node_->get_node_options().context();
  executor_ = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(options);
  executor_->add_node(optional_default_node_);
  dedicated_listener_thread_ = std::make_unique<std::thread>(
    [this]() {
      try {
        executor_->spin();
      } catch (const std::exception & error) {
        RCLCPP_ERROR(*logger_, "Transform listener thread stopped: %s", error.what());
      }
      spin_finished_ = true;
    });
  // Lookups with a timeout may now wait for this thread to deliver.
  buffer_.setUsingDedicatedThread(true);
}

void TransformListener::stopSpinThread()
{
  // A cancel issued before the thread has entered spin() is lost (spin() starts by
  // marking itself as spinning), so keep cancelling until the thread is done.
  while (!spin_finished_) {
    executor_->cancel();
    std::this_thread::sleep_for(kCancelRetryInterval);
  }
  dedicated_listener_thread_->join();
}

void TransformListener::subscription_callback(
  tf2_msgs::msg::TFMessage::ConstSharedPtr msg, bool is_static)
{
  // The sender of a message cannot be told on this path.
  const std::string authority = "Authority undetectable";
  for (const auto & transform : msg->transforms) {
    try {
      buffer_.setTransform(transform, authority, is_static);
    } catch (const tf2::TransformException & ex) {
      RCLCPP_ERROR(
        *logger_, "Failure to set received transform from %s to %s with error: %s\n",
        transform.child_frame_id.c_str(), transform.header.frame_id.c_str(), ex.what());
    }
  }
}

}  // namespace tf2_ros
