// Stand-in for rclcpp/any_subscription_callback.hpp: turns any accepted
// subscription callback into one call taking the shared message and its info.
#ifndef STANDIN_RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
#define STANDIN_RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "rclcpp/message_info.hpp"

namespace rclcpp
{
namespace detail
{

// Humble still accepts callbacks taking std::shared_ptr<MessageT> (non-const)
// but routes them through a deprecated function, so that a build which sees
// these headers as ordinary includes warns about them.
template<typename CallbackT, typename ... Args>
[[deprecated("use 'void(std::shared_ptr<const MessageT>)' instead")]]
void call_with_mutable_shared_message(CallbackT & callback, Args && ... args)
{
  callback(std::forward<Args>(args)...);
}

enum class MessageForm {ConstShared, ConstRef, MutableShared, Unique, Unsupported};

// Classifies a callable by what it can be called with, in an order that keeps
// the cheapest form: a callback that can share the delivered message gets it
// without a copy.
template<typename MessageT, typename CallbackT, typename ... Extra>
constexpr MessageForm message_form()
{
  using Callable = std::decay_t<CallbackT> &;
  if constexpr (std::is_invocable_v<Callable, const std::shared_ptr<const MessageT> &, Extra...>) {
    return MessageForm::ConstShared;
  } else if constexpr (std::is_invocable_v<Callable, const MessageT &, Extra...>) {
    return MessageForm::ConstRef;
  } else if constexpr (std::is_invocable_v<Callable, std::shared_ptr<MessageT>, Extra...>) {
    return MessageForm::MutableShared;
  } else if constexpr (std::is_invocable_v<Callable, std::unique_ptr<MessageT>, Extra...>) {
    return MessageForm::Unique;
  } else {
    return MessageForm::Unsupported;
  }
}

}  // namespace detail

template<typename MessageT, typename AllocatorT = std::allocator<void>>
class AnySubscriptionCallback
{
public:
  using SharedConstMessage = std::shared_ptr<const MessageT>;
  using Dispatch = std::function<void (const SharedConstMessage &, const rclcpp::MessageInfo &)>;

  template<typename CallbackT>
  AnySubscriptionCallback & set(CallbackT callback)
  {
    constexpr auto with_info = detail::message_form<MessageT, CallbackT, const MessageInfo &>();
    constexpr auto without_info = detail::message_form<MessageT, CallbackT>();
    static_assert(
      with_info != detail::MessageForm::Unsupported ||
      without_info != detail::MessageForm::Unsupported,
      "subscription callback signature is not supported for this message type");
    if constexpr (with_info != detail::MessageForm::Unsupported) {
      dispatch_ = [callback = std::move(callback)](
        const SharedConstMessage & message, const MessageInfo & info) mutable {
          invoke<with_info>(callback, message, info);
        };
    } else {
      dispatch_ = [callback = std::move(callback)](
        const SharedConstMessage & message, const MessageInfo &) mutable {
          invoke<without_info>(callback, message);
        };
    }
    return *this;
  }

  void dispatch(const SharedConstMessage & message, const rclcpp::MessageInfo & info)
  {
    dispatch_(message, info);
  }

private:
  template<detail::MessageForm form, typename CallbackT, typename ... Extra>
  static void invoke(CallbackT & callback, const SharedConstMessage & message, Extra && ... extra)
  {
    if constexpr (form == detail::MessageForm::ConstShared) {
      callback(message, std::forward<Extra>(extra)...);
    } else if constexpr (form == detail::MessageForm::ConstRef) {
      callback(*message, std::forward<Extra>(extra)...);
    } else if constexpr (form == detail::MessageForm::MutableShared) {
      // The delivered message is shared with other subscriptions, so a
      // callback that may modify it gets its own copy.
      detail::call_with_mutable_shared_message(
        callback, std::make_shared<MessageT>(*message), std::forward<Extra>(extra)...);
    } else {
      callback(std::make_unique<MessageT>(*message), std::forward<Extra>(extra)...);
    }
  }

  Dispatch dispatch_;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
