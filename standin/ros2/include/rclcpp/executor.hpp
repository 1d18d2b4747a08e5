// Stand-in for rclcpp/executor.hpp. An executor runs the callbacks of its
// nodes one at a time on the thread that spins it. Each pass takes what is
// ready at that moment in rclcpp's order: ready timers first, then
// subscriptions (one message each), services, clients, each by node and
// creation order. Waiting uses a condition variable, woken by new work, a
// due timer, cancel() or the shutdown of the context.
#ifndef STANDIN_RCLCPP__EXECUTOR_HPP_
#define STANDIN_RCLCPP__EXECUTOR_HPP_

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/executor_options.hpp"
#include "rclcpp/future_return_code.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/utilities.hpp"

namespace rclcpp
{

class Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(Executor)

  explicit Executor(const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions());
  Executor(const Executor &) = delete;
  Executor & operator=(const Executor &) = delete;
  virtual ~Executor();

  virtual void spin() = 0;

  // Throws std::runtime_error when the node already belongs to an executor.
  virtual void add_node(
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify = true);
  virtual void add_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify = true);
  // Throws std::runtime_error when the node is not in this executor.
  virtual void remove_node(
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify = true);
  virtual void remove_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify = true);

  // Adds the node, runs what is ready, removes it again.
  void spin_node_some(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node);
  void spin_node_some(std::shared_ptr<rclcpp::Node> node);

  // Runs the work ready now; a positive max_duration bounds the time spent.
  virtual void spin_some(std::chrono::nanoseconds max_duration = std::chrono::nanoseconds(0));
  // Keeps running work until none is left or max_duration has passed.
  virtual void spin_all(std::chrono::nanoseconds max_duration);
  // Waits up to `timeout` (forever if negative) and runs one callback.
  virtual void spin_once(std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));

  template<typename FutureT, typename TimeRepT = int64_t, typename TimeT = std::milli>
  FutureReturnCode spin_until_future_complete(
    const FutureT & future,
    std::chrono::duration<TimeRepT, TimeT> timeout = std::chrono::duration<TimeRepT, TimeT>(-1))
  {
    if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
      return FutureReturnCode::SUCCESS;
    }
    const auto timeout_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    const auto end = std::chrono::steady_clock::now() + timeout_ns;
    SpinningGuard guard(*this, "spin_until_future_complete() called while already spinning");
    while (rclcpp::ok(context_) && spinning_.load()) {
      std::chrono::nanoseconds wait = kFutureCheckInterval;
      if (timeout_ns >= std::chrono::nanoseconds::zero()) {
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds::zero()) {
          return FutureReturnCode::TIMEOUT;
        }
        wait = std::min<std::chrono::nanoseconds>(wait, left);
      }
      spin_once_impl(wait);
      if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        return FutureReturnCode::SUCCESS;
      }
    }
    return FutureReturnCode::INTERRUPTED;
  }

  // Makes a running spin return soon; thread-safe.
  void cancel();
  bool is_spinning();

protected:
  // Sets the spinning flag for one spin call; throws if it was already set.
  class SpinningGuard
  {
public:
    SpinningGuard(Executor & executor, const char * already_spinning_message);
    ~SpinningGuard();
    SpinningGuard(const SpinningGuard &) = delete;
    SpinningGuard & operator=(const SpinningGuard &) = delete;

private:
    Executor & executor_;
  };

  // One callback that was ready when the pass was collected.
  struct ReadyWork
  {
    rclcpp::TimerBase::SharedPtr timer;
    rclcpp::SubscriptionBase::SharedPtr subscription;
    rclcpp::ServiceBase::SharedPtr service;
    rclcpp::ClientBase::SharedPtr client;
  };
  struct Pass
  {
    std::vector<ReadyWork> work;
    // The soonest a timer that is not ready yet becomes due.
    std::optional<std::chrono::steady_clock::time_point> next_timer;
  };

  Pass collect_pass();
  static void execute(ReadyWork & work);
  // Waits until work is ready (at most `timeout`; forever if negative),
  // then runs the pass; returns whether anything ran.
  bool run_one_pass(std::chrono::nanoseconds timeout, bool only_first);
  void spin_once_impl(std::chrono::nanoseconds timeout);

  // The poll interval of spin_until_future_complete for futures that are
  // completed by something other than this executor's callbacks.
  static constexpr std::chrono::milliseconds kFutureCheckInterval{50};

  rclcpp::Context::SharedPtr context_;
  std::atomic_bool spinning_{false};
  std::shared_ptr<detail::WakeSignal> wake_;

private:
  std::mutex nodes_mutex_;
  std::vector<std::weak_ptr<rclcpp::node_interfaces::NodeBaseInterface>> nodes_;
  rclcpp::Context::OnShutdownCallbackHandle shutdown_handle_;
  std::uint64_t graph_wake_id_ = 0;   // the graph wakes this executor for new matches
};

namespace executors
{

class SingleThreadedExecutor : public rclcpp::Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(SingleThreadedExecutor)

  explicit SingleThreadedExecutor(
    const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions());
  virtual ~SingleThreadedExecutor();

  // Runs callbacks until cancel() or the context shuts down; throws
  // std::runtime_error when this executor is already spinning.
  void spin() override;
};

}  // namespace executors
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__EXECUTOR_HPP_
