// Stand-in for rclcpp/context.hpp: the lifetime of one init/shutdown cycle,
// with the callbacks that run when it shuts down.
#ifndef STANDIN_RCLCPP__CONTEXT_HPP_
#define STANDIN_RCLCPP__CONTEXT_HPP_

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "rcl/context.h"
#include "rclcpp/init_options.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{

class ContextAlreadyInitialized : public std::runtime_error
{
public:
  ContextAlreadyInitialized()
  : std::runtime_error("context is already initialized") {}
};

class Context : public std::enable_shared_from_this<Context>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Context)

  Context();
  virtual ~Context();

  // Parses the ROS arguments (which become the process-wide arguments when
  // this is the global default context) and applies the logging options.
  // Throws ContextAlreadyInitialized while valid, and the argument errors of
  // rclcpp::init.
  virtual void init(
    int argc, char const * const * argv,
    const rclcpp::InitOptions & init_options = rclcpp::InitOptions());

  bool is_valid() const;

  const rclcpp::InitOptions & get_init_options() const;
  rclcpp::InitOptions get_init_options();

  size_t get_domain_id() const;

  // The rcl view of the context: rcl_context_get_init_options() on it gives
  // the enclave and the security options that init found.
  std::shared_ptr<rcl_context_t> get_rcl_context();

  // Empty before the first shutdown.
  std::string shutdown_reason() const;

  // Returns true when this call shut the context down, false when it was not
  // valid. Runs the on-shutdown callbacks (outside the lock) and wakes every
  // sleep_for / wait on this context.
  virtual bool shutdown(const std::string & reason);

  using OnShutdownCallback = std::function<void ()>;
  // The handle identifies one registration, for remove_on_shutdown_callback.
  class OnShutdownCallbackHandle
  {
    friend class Context;

public:
    using OnShutdownCallbackType = std::function<void ()>;

private:
    std::weak_ptr<OnShutdownCallbackType> callback;
  };

  virtual OnShutdownCallback on_shutdown(OnShutdownCallback callback);
  virtual OnShutdownCallbackHandle add_on_shutdown_callback(OnShutdownCallback callback);
  virtual bool remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle);
  std::vector<OnShutdownCallback> get_on_shutdown_callbacks() const;

  // Sleeps for `nanoseconds` or until shutdown; true when the full time passed.
  bool sleep_for(const std::chrono::nanoseconds & nanoseconds);

  // Wakes threads blocked in sleep_for (executors also use it as a wake-up).
  void interrupt_all_sleep_for();

private:
  RCLCPP_DISABLE_COPY(Context)

  mutable std::recursive_mutex init_mutex_;
  bool valid_ = false;
  size_t domain_id_ = 0;
  bool holds_logging_ = false;   // counted among the contexts that configured logging
  rclcpp::InitOptions init_options_;
  std::string shutdown_reason_;
  std::shared_ptr<rcl_context_t> rcl_context_;

  mutable std::mutex on_shutdown_callbacks_mutex_;
  std::vector<std::shared_ptr<OnShutdownCallback>> on_shutdown_callbacks_;

  std::mutex interrupt_mutex_;
  std::condition_variable interrupt_condition_variable_;
};

// Every context that is currently valid.
std::vector<Context::SharedPtr> get_contexts();

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__CONTEXT_HPP_
