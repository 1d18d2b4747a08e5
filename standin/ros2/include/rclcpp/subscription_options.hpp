// Stand-in for rclcpp/subscription_options.hpp. The callback group and the
// intra-process setting are accepted and change nothing here;
// ignore_local_publications is honoured (messages of the same node are skipped).
#ifndef STANDIN_RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
#define STANDIN_RCLCPP__SUBSCRIPTION_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/intra_process_setting.hpp"

namespace rclcpp
{

struct SubscriptionOptionsBase
{
  bool ignore_local_publications = false;
  IntraProcessSetting use_intra_process_comm = IntraProcessSetting::NodeDefault;
  bool use_default_callbacks = true;
  rclcpp::CallbackGroup::SharedPtr callback_group = nullptr;
};

template<typename Allocator>
struct SubscriptionOptionsWithAllocator : public SubscriptionOptionsBase
{
  std::shared_ptr<Allocator> allocator = nullptr;

  SubscriptionOptionsWithAllocator() = default;
  explicit SubscriptionOptionsWithAllocator(const SubscriptionOptionsBase & base)
  : SubscriptionOptionsBase(base) {}
};

using SubscriptionOptions = SubscriptionOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
