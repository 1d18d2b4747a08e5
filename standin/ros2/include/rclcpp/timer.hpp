// Stand-in for rclcpp/timer.hpp. Timers are scheduled on the steady clock;
// their callbacks run on the thread that spins the owning node.
#ifndef STANDIN_RCLCPP__TIMER_HPP_
#define STANDIN_RCLCPP__TIMER_HPP_

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{

class TimerBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(TimerBase)

  // Throws std::invalid_argument for a negative period.
  explicit TimerBase(
    Clock::SharedPtr clock, std::chrono::nanoseconds period, rclcpp::Context::SharedPtr context);
  TimerBase(const TimerBase &) = delete;
  TimerBase & operator=(const TimerBase &) = delete;
  virtual ~TimerBase();

  void cancel();
  bool is_canceled();
  // Un-cancels and restarts the period from now.
  void reset();

  // Advances the schedule past now; false when canceled (then the callback
  // must not run).
  virtual bool call();
  virtual void execute_callback() = 0;

  Clock::SharedPtr get_clock() {return clock_;}
  // nanoseconds::max() while canceled; negative when overdue.
  std::chrono::nanoseconds time_until_trigger();
  virtual bool is_steady() = 0;
  bool is_ready();

  // Stand-in internal: the node hands over its notifier so that reset()
  // wakes an executor that waits without a deadline.
  void set_notifier(std::shared_ptr<detail::NodeNotifier> notifier);

private:
  using SteadyTime = std::chrono::steady_clock::time_point;

  Clock::SharedPtr clock_;
  rclcpp::Context::SharedPtr context_;
  std::mutex mutex_;
  std::chrono::nanoseconds period_;
  SteadyTime next_call_;
  bool canceled_ = false;
  std::shared_ptr<detail::NodeNotifier> notifier_;
};

using VoidCallbackType = std::function<void ()>;
using TimerCallbackType = std::function<void (TimerBase &)>;

template<typename FunctorT>
constexpr bool is_timer_callback_v =
  std::is_invocable_v<std::decay_t<FunctorT> &>||
  std::is_invocable_v<std::decay_t<FunctorT> &, TimerBase &>;

template<typename FunctorT, typename std::enable_if_t<is_timer_callback_v<FunctorT>> * = nullptr>
class GenericTimer : public TimerBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(GenericTimer)

  explicit GenericTimer(
    Clock::SharedPtr clock, std::chrono::nanoseconds period, FunctorT && callback,
    rclcpp::Context::SharedPtr context)
  : TimerBase(std::move(clock), period, std::move(context)),
    callback_(std::forward<FunctorT>(callback))
  {}

  void execute_callback() override
  {
    if constexpr (std::is_invocable_v<FunctorT &, TimerBase &>) {
      callback_(*this);
    } else {
      callback_();
    }
  }

  bool is_steady() override {return get_clock()->get_clock_type() == RCL_STEADY_TIME;}

protected:
  FunctorT callback_;
};

template<typename FunctorT, typename std::enable_if_t<is_timer_callback_v<FunctorT>> * = nullptr>
class WallTimer : public GenericTimer<FunctorT>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(WallTimer)

  WallTimer(
    std::chrono::nanoseconds period, FunctorT && callback, rclcpp::Context::SharedPtr context)
  : GenericTimer<FunctorT>(
      std::make_shared<Clock>(RCL_STEADY_TIME), period, std::forward<FunctorT>(callback),
      std::move(context))
  {}

  bool is_steady() override {return true;}
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__TIMER_HPP_
