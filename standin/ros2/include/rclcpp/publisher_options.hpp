// Stand-in for rclcpp/publisher_options.hpp. Only the callback group and the
// intra-process setting exist; both are accepted and change nothing here.
#ifndef STANDIN_RCLCPP__PUBLISHER_OPTIONS_HPP_
#define STANDIN_RCLCPP__PUBLISHER_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/intra_process_setting.hpp"

namespace rclcpp
{

struct PublisherOptionsBase
{
  IntraProcessSetting use_intra_process_comm = IntraProcessSetting::NodeDefault;
  bool use_default_callbacks = true;
  std::shared_ptr<rclcpp::CallbackGroup> callback_group;
};

template<typename Allocator>
struct PublisherOptionsWithAllocator : public PublisherOptionsBase
{
  std::shared_ptr<Allocator> allocator = nullptr;

  PublisherOptionsWithAllocator() = default;
  explicit PublisherOptionsWithAllocator(const PublisherOptionsBase & base)
  : PublisherOptionsBase(base) {}
};

using PublisherOptions = PublisherOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__PUBLISHER_OPTIONS_HPP_
