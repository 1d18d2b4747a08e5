#include "rclcpp/executor.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "rclcpp/executors.hpp"

namespace rclcpp
{
namespace
{

using NodeBase = rclcpp::node_interfaces::NodeBaseInterface;
using SteadyClock = std::chrono::steady_clock;

}  // namespace

Executor::Executor(const rclcpp::ExecutorOptions & options)
: context_(options.context ? options.context : rclcpp::contexts::get_global_default_context()),
  wake_(std::make_shared<detail::WakeSignal>())
{
  graph_wake_id_ = detail::Graph::instance().add_executor_wake(wake_);
  std::weak_ptr<detail::WakeSignal> weak_wake = wake_;
  shutdown_handle_ = context_->add_on_shutdown_callback(
    [weak_wake]() {
      if (auto wake = weak_wake.lock()) {
        wake->notify();
      }
    });
}

Executor::~Executor()
{
  detail::Graph::instance().remove_executor_wake(graph_wake_id_);
  context_->remove_on_shutdown_callback(shutdown_handle_);
  std::lock_guard<std::mutex> lock(nodes_mutex_);
  for (const auto & weak : nodes_) {
    if (auto node = weak.lock()) {
      node->get_notifier()->detach();
      node->get_associated_with_executor_atomic().store(false);
    }
  }
}

void Executor::add_node(NodeBase::SharedPtr node_ptr, bool notify)
{
  if (!node_ptr) {
    throw std::invalid_argument("add_node(): node cannot be null");
  }
  if (node_ptr->get_associated_with_executor_atomic().exchange(true)) {
    throw std::runtime_error(
            std::string("Node '") + node_ptr->get_fully_qualified_name() +
            "' has already been added to an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(nodes_mutex_);
    nodes_.push_back(node_ptr);
  }
  node_ptr->get_notifier()->attach(wake_);
  if (notify) {
    wake_->notify();
  }
}

void Executor::add_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify)
{
  add_node(node_ptr ? node_ptr->get_node_base_interface() : nullptr, notify);
}

void Executor::remove_node(NodeBase::SharedPtr node_ptr, bool notify)
{
  if (!node_ptr) {
    throw std::invalid_argument("remove_node(): node cannot be null");
  }
  if (!node_ptr->get_associated_with_executor_atomic().load()) {
    throw std::runtime_error("Node needs to be associated with an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(nodes_mutex_);
    auto found = std::find_if(
      nodes_.begin(), nodes_.end(),
      [&](const std::weak_ptr<NodeBase> & weak) {return weak.lock() == node_ptr;});
    if (found == nodes_.end()) {
      throw std::runtime_error("Node needs to be associated with this executor.");
    }
    nodes_.erase(found);
  }
  node_ptr->get_notifier()->detach();
  node_ptr->get_associated_with_executor_atomic().store(false);
  if (notify) {
    wake_->notify();
  }
}

void Executor::remove_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify)
{
  remove_node(node_ptr ? node_ptr->get_node_base_interface() : nullptr, notify);
}

void Executor::spin_node_some(NodeBase::SharedPtr node)
{
  add_node(node, false);
  try {
    spin_some();
  } catch (...) {
    remove_node(node, false);
    throw;
  }
  remove_node(node, false);
}

void Executor::spin_node_some(std::shared_ptr<rclcpp::Node> node)
{
  spin_node_some(node ? node->get_node_base_interface() : nullptr);
}

Executor::SpinningGuard::SpinningGuard(Executor & executor, const char * already_spinning_message)
: executor_(executor)
{
  if (executor_.spinning_.exchange(true)) {
    throw std::runtime_error(already_spinning_message);
  }
}

Executor::SpinningGuard::~SpinningGuard()
{
  executor_.spinning_.store(false);
}

Executor::Pass Executor::collect_pass()
{
  // Matches due by now deliver their history before the pass looks for work.
  detail::Graph::instance().discover();
  std::vector<NodeBase::SharedPtr> nodes;
  {
    std::lock_guard<std::mutex> lock(nodes_mutex_);
    nodes_.erase(
      std::remove_if(
        nodes_.begin(), nodes_.end(),
        [](const std::weak_ptr<NodeBase> & weak) {return weak.expired();}),
      nodes_.end());
    for (const auto & weak : nodes_) {
      if (auto node = weak.lock()) {
        nodes.push_back(std::move(node));
      }
    }
  }
  std::vector<NodeBase::Entities> entities;
  for (const auto & node : nodes) {
    entities.push_back(node->collect_entities());
  }

  Pass pass;
  const auto now = SteadyClock::now();
  for (auto & node_entities : entities) {
    for (auto & timer : node_entities.timers) {
      if (timer->is_ready()) {
        pass.work.push_back({timer, nullptr, nullptr, nullptr});
      } else if (!timer->is_canceled()) {
        const auto due = now + timer->time_until_trigger();
        pass.next_timer = pass.next_timer ? std::min(*pass.next_timer, due) : due;
      }
    }
  }
  for (auto & node_entities : entities) {
    for (auto & subscription : node_entities.subscriptions) {
      if (subscription->has_message()) {
        pass.work.push_back({nullptr, subscription, nullptr, nullptr});
      }
    }
  }
  for (auto & node_entities : entities) {
    for (auto & service : node_entities.services) {
      if (service->has_request()) {
        pass.work.push_back({nullptr, nullptr, service, nullptr});
      }
    }
  }
  for (auto & node_entities : entities) {
    for (auto & client : node_entities.clients) {
      if (client->has_response()) {
        pass.work.push_back({nullptr, nullptr, nullptr, client});
      }
    }
  }
  return pass;
}

void Executor::execute(ReadyWork & work)
{
  if (work.timer) {
    if (work.timer->call()) {
      work.timer->execute_callback();
    }
  } else if (work.subscription) {
    work.subscription->execute_one();
  } else if (work.service) {
    work.service->execute_one();
  } else if (work.client) {
    work.client->execute_one();
  }
}

bool Executor::run_one_pass(std::chrono::nanoseconds timeout, bool only_first)
{
  std::optional<SteadyClock::time_point> deadline;
  if (timeout >= std::chrono::nanoseconds::zero()) {
    deadline = SteadyClock::now() + timeout;
  }
  while (true) {
    // Read before collecting, so work that arrives meanwhile ends the wait.
    const std::uint64_t seen = wake_->generation();
    Pass pass = collect_pass();
    if (!pass.work.empty()) {
      for (auto & work : pass.work) {
        if (!rclcpp::ok(context_) || !spinning_.load()) {
          break;
        }
        execute(work);
        if (only_first) {
          break;
        }
      }
      return true;
    }
    if (!rclcpp::ok(context_) || !spinning_.load()) {
      return false;
    }
    if (deadline && SteadyClock::now() >= *deadline) {
      return false;
    }
    std::optional<SteadyClock::time_point> wake_at = deadline;
    for (const auto & due : {pass.next_timer, detail::Graph::instance().next_discovery()}) {
      if (due) {
        wake_at = wake_at ? std::min(*wake_at, *due) : *due;
      }
    }
    if (wake_at) {
      wake_->wait_until(seen, *wake_at);
    } else {
      wake_->wait(seen);
    }
  }
}

void Executor::spin_some(std::chrono::nanoseconds max_duration)
{
  SpinningGuard guard(*this, "spin_some() called while already spinning");
  const auto start = SteadyClock::now();
  Pass pass = collect_pass();
  for (auto & work : pass.work) {
    const bool out_of_time = max_duration > std::chrono::nanoseconds::zero() &&
      SteadyClock::now() - start > max_duration;
    if (out_of_time || !rclcpp::ok(context_) || !spinning_.load()) {
      break;
    }
    execute(work);
  }
}

void Executor::spin_all(std::chrono::nanoseconds max_duration)
{
  if (max_duration < std::chrono::nanoseconds::zero()) {
    throw std::invalid_argument("max_duration must be greater than or equal to 0");
  }
  SpinningGuard guard(*this, "spin_all() called while already spinning");
  const auto start = SteadyClock::now();
  const auto out_of_time = [&] {
      return max_duration > std::chrono::nanoseconds::zero() &&
             SteadyClock::now() - start > max_duration;
    };
  while (!out_of_time()) {
    Pass pass = collect_pass();
    if (pass.work.empty()) {
      return;
    }
    for (auto & work : pass.work) {
      if (out_of_time() || !rclcpp::ok(context_) || !spinning_.load()) {
        return;
      }
      execute(work);
    }
  }
}

void Executor::spin_once(std::chrono::nanoseconds timeout)
{
  SpinningGuard guard(*this, "spin_once() called while already spinning");
  spin_once_impl(timeout);
}

void Executor::spin_once_impl(std::chrono::nanoseconds timeout)
{
  run_one_pass(timeout, true);
}

void Executor::cancel()
{
  spinning_.store(false);
  wake_->notify();
}

bool Executor::is_spinning()
{
  return spinning_.load();
}

namespace executors
{

SingleThreadedExecutor::SingleThreadedExecutor(const rclcpp::ExecutorOptions & options)
: rclcpp::Executor(options)
{}

SingleThreadedExecutor::~SingleThreadedExecutor() = default;

void SingleThreadedExecutor::spin()
{
  SpinningGuard guard(*this, "spin() called while already spinning");
  while (rclcpp::ok(context_) && spinning_.load()) {
    run_one_pass(std::chrono::nanoseconds(-1), false);
  }
}

}  // namespace executors

void spin_some(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.spin_node_some(node_ptr);
}

void spin_some(rclcpp::Node::SharedPtr node_ptr)
{
  rclcpp::spin_some(node_ptr->get_node_base_interface());
}

void spin(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_ptr);
  try {
    executor.spin();
  } catch (...) {
    executor.remove_node(node_ptr);
    throw;
  }
  executor.remove_node(node_ptr);
}

void spin(rclcpp::Node::SharedPtr node_ptr)
{
  rclcpp::spin(node_ptr->get_node_base_interface());
}

}  // namespace rclcpp
