// Stand-in for rclcpp_lifecycle/lifecycle_publisher.hpp: a publisher that
// drops what is published while it is not activated.
#ifndef RCLCPP_LIFECYCLE__LIFECYCLE_PUBLISHER_HPP_
#define RCLCPP_LIFECYCLE__LIFECYCLE_PUBLISHER_HPP_

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "rclcpp/publisher.hpp"

namespace rclcpp_lifecycle
{

template<typename MessageT, typename Alloc = std::allocator<void>>
class LifecyclePublisher : public rclcpp::Publisher<MessageT, Alloc>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(LifecyclePublisher)

  using rclcpp::Publisher<MessageT, Alloc>::Publisher;

  void on_activate() {activated_ = true;}
  void on_deactivate() {activated_ = false;}
  bool is_activated() const {return activated_;}

  void publish(std::unique_ptr<MessageT> msg)
  {
    if (activated_) {
      rclcpp::Publisher<MessageT, Alloc>::publish(std::move(msg));
    }
  }

  void publish(const MessageT & msg)
  {
    if (activated_) {
      rclcpp::Publisher<MessageT, Alloc>::publish(msg);
    }
  }

private:
  std::atomic<bool> activated_{false};
};

}  // namespace rclcpp_lifecycle

#endif  // RCLCPP_LIFECYCLE__LIFECYCLE_PUBLISHER_HPP_
