#include "rclcpp/timer.hpp"

#include <limits>
#include <stdexcept>
#include <utility>

namespace rclcpp
{

TimerBase::TimerBase(
  Clock::SharedPtr clock, std::chrono::nanoseconds period, rclcpp::Context::SharedPtr context)
: clock_(std::move(clock)), context_(std::move(context)), period_(period),
  next_call_(std::chrono::steady_clock::now() + period)
{
  if (period < std::chrono::nanoseconds::zero()) {
    throw std::invalid_argument("timer period cannot be negative");
  }
}

TimerBase::~TimerBase() = default;

void TimerBase::cancel()
{
  std::lock_guard<std::mutex> lock(mutex_);
  canceled_ = true;
}

bool TimerBase::is_canceled()
{
  std::lock_guard<std::mutex> lock(mutex_);
  return canceled_;
}

void TimerBase::reset()
{
  std::shared_ptr<detail::NodeNotifier> notifier;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    canceled_ = false;
    next_call_ = std::chrono::steady_clock::now() + period_;
    notifier = notifier_;
  }
  if (notifier) {
    notifier->notify();
  }
}

bool TimerBase::call()
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (canceled_) {
    return false;
  }
  const SteadyTime now = std::chrono::steady_clock::now();
  next_call_ += period_;
  // A timer that fell behind skips the missed periods instead of firing in a
  // burst, keeping its phase (as rcl does).
  if (next_call_ < now) {
    if (period_ == std::chrono::nanoseconds::zero()) {
      next_call_ = now;
    } else {
      const auto behind = now - next_call_;
      next_call_ += ((behind / period_) + 1) * period_;
    }
  }
  return true;
}

std::chrono::nanoseconds TimerBase::time_until_trigger()
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (canceled_) {
    return std::chrono::nanoseconds::max();
  }
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
    next_call_ - std::chrono::steady_clock::now());
}

bool TimerBase::is_ready()
{
  std::lock_guard<std::mutex> lock(mutex_);
  return !canceled_ && std::chrono::steady_clock::now() >= next_call_;
}

void TimerBase::set_notifier(std::shared_ptr<detail::NodeNotifier> notifier)
{
  std::lock_guard<std::mutex> lock(mutex_);
  notifier_ = std::move(notifier);
}

}  // namespace rclcpp
