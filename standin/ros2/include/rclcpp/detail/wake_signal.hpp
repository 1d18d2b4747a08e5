// How entities tell an executor that work has arrived. An executor owns one
// WakeSignal; every node owns one NodeNotifier that points at the signal of
// the executor it was added to (or nowhere). Publishers, clients and services
// in any thread notify through the node notifier of the receiving entity.
#ifndef STANDIN_RCLCPP__DETAIL__WAKE_SIGNAL_HPP_
#define STANDIN_RCLCPP__DETAIL__WAKE_SIGNAL_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace rclcpp
{
namespace detail
{

// A generation counter under a condition variable: a waiter remembers the
// generation before it looks for work, so a notification that arrives while
// it looks is never lost.
class WakeSignal
{
public:
  void notify()
  {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++generation_;
    }
    condition_.notify_all();
  }

  std::uint64_t generation() const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
  }

  // Waits until the generation differs from `seen` or the deadline passes.
  void wait_until(std::uint64_t seen, std::chrono::steady_clock::time_point deadline)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    condition_.wait_until(lock, deadline, [&] {return generation_ != seen;});
  }

  void wait(std::uint64_t seen)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    condition_.wait(lock, [&] {return generation_ != seen;});
  }

private:
  mutable std::mutex mutex_;
  std::condition_variable condition_;
  std::uint64_t generation_ = 0;
};

class NodeNotifier
{
public:
  void attach(const std::shared_ptr<WakeSignal> & signal)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    signal_ = signal;
  }

  void detach()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    signal_.reset();
  }

  void notify()
  {
    std::shared_ptr<WakeSignal> signal;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      signal = signal_.lock();
    }
    if (signal) {
      signal->notify();
    }
  }

private:
  std::mutex mutex_;
  std::weak_ptr<WakeSignal> signal_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DETAIL__WAKE_SIGNAL_HPP_
