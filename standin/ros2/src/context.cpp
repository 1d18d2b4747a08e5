// rclcpp::Context: validity between init and shutdown, shutdown callbacks,
// and interruptible sleeps.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/detail/rcl_context.hpp"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rcutils/logging.h"

namespace rclcpp
{

namespace
{

// Contexts that were initialised through a shared_ptr, so that the signal
// handler can reach them.
struct ContextRegistry
{
  std::mutex mutex;
  std::vector<std::weak_ptr<Context>> contexts;
};

ContextRegistry & context_registry()
{
  static ContextRegistry registry;
  return registry;
}

void register_context(const std::weak_ptr<Context> & context)
{
  if (context.expired()) {
    return;
  }
  ContextRegistry & registry = context_registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto & contexts = registry.contexts;
  contexts.erase(
    std::remove_if(
      contexts.begin(), contexts.end(),
      [&context](const std::weak_ptr<Context> & known) {
        return known.expired() ||
        (!known.owner_before(context) && !context.owner_before(known));
      }),
    contexts.end());
  contexts.push_back(context);
}

std::vector<std::string> collect_arguments(int argc, char const * const * argv)
{
  std::vector<std::string> arguments;
  if (argv == nullptr) {
    return arguments;
  }
  for (int index = 0; index < argc; ++index) {
    if (argv[index] != nullptr) {
      arguments.emplace_back(argv[index]);
    }
  }
  return arguments;
}

// rclcpp's own output handler, which init installs over whatever was there:
// the stand-in has no /rosout or log file, so it writes to the console, under
// one process-wide recursive lock as rclcpp does.
void rclcpp_logging_output_handler(
  const rcutils_log_location_t * location, int severity, const char * name,
  rcutils_time_point_value_t timestamp, const char * format, va_list * args)
{
  static std::recursive_mutex output_mutex;
  std::lock_guard<std::recursive_mutex> lock(output_mutex);
  rcutils_logging_console_output_handler(location, severity, name, timestamp, format, args);
}

// Contexts that configured logging, process-wide: the first installs rclcpp's
// handler, the last to shut down puts the console handler back.
std::mutex & logging_users_mutex()
{
  static std::mutex mutex;
  return mutex;
}
std::size_t & logging_users()
{
  static std::size_t users = 0;
  return users;
}

void take_logging()
{
  std::lock_guard<std::mutex> lock(logging_users_mutex());
  if (logging_users()++ == 0) {
    rcutils_logging_set_output_handler(&rclcpp_logging_output_handler);
  }
}

void release_logging()
{
  std::lock_guard<std::mutex> lock(logging_users_mutex());
  if (logging_users() > 0 && --logging_users() == 0) {
    rcutils_logging_set_output_handler(&rcutils_logging_console_output_handler);
  }
}

// As rcl: the init options' domain, else ROS_DOMAIN_ID, else 0.
size_t resolve_domain_id(const rclcpp::InitOptions & options)
{
  if (options.get_domain_id() != rclcpp::InitOptions::kDefaultDomainId) {
    return options.get_domain_id();
  }
  const char * variable = std::getenv("ROS_DOMAIN_ID");
  if (variable == nullptr || *variable == '\0') {
    return 0;
  }
  char * end = nullptr;
  const unsigned long value = std::strtoul(variable, &end, 10);
  if (*end != '\0') {
    throw std::runtime_error(std::string("ROS_DOMAIN_ID is not an integer: '") + variable + "'");
  }
  return static_cast<size_t>(value);
}

void apply_log_levels(const detail::RosArguments & arguments)
{
  for (const auto & logger_level : arguments.log_levels()) {
    if (logger_level.first.empty()) {
      rcutils_logging_set_default_logger_level(logger_level.second);
    } else {
      if (rcutils_logging_set_logger_level(logger_level.first.c_str(), logger_level.second) != RCUTILS_RET_OK) {
        // rcl fails the initialisation the same way.
        throw std::runtime_error("failed to set the level of logger '" + logger_level.first + "'");
      }
    }
  }
}

// Waits longer than this are cut into pieces: adding a huge duration to
// steady_clock::now() would overflow.
constexpr std::chrono::hours kLongestSingleWait{24 * 365};

}  // namespace

std::vector<Context::SharedPtr> get_contexts()
{
  std::vector<Context::SharedPtr> alive;
  {
    ContextRegistry & registry = context_registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    for (const auto & weak : registry.contexts) {
      if (auto context = weak.lock()) {
        alive.push_back(std::move(context));
      }
    }
  }
  // Validity is checked outside the registry lock: Context::init takes the
  // two locks in the other order.
  std::vector<Context::SharedPtr> valid;
  for (auto & context : alive) {
    if (context->is_valid()) {
      valid.push_back(std::move(context));
    }
  }
  return valid;
}

Context::Context()
: rcl_context_(
    new rcl_context_t{nullptr}, [](rcl_context_t * context) {
      delete context->impl;
      delete context;
    }) {}

Context::~Context() = default;

void Context::init(int argc, char const * const * argv, const rclcpp::InitOptions & init_options)
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  if (valid_) {
    throw rclcpp::ContextAlreadyInitialized();
  }
  detail::RosArguments arguments = detail::RosArguments::parse(collect_arguments(argc, argv));
  // Read first, as rcl does: a bad domain fails the init before logging is set up.
  const size_t domain_id = resolve_domain_id(init_options);
  detail::initialize_rcl_context(*rcl_context_, arguments.enclave().value_or("/"));
  if (init_options.auto_initialize_logging()) {
    apply_log_levels(arguments);
    take_logging();
    holds_logging_ = true;
  }
  if (this == contexts::get_global_default_context().get()) {
    detail::set_global_arguments(std::move(arguments));
  }
  init_options_ = init_options;
  domain_id_ = domain_id;
  shutdown_reason_.clear();
  valid_ = true;
  register_context(weak_from_this());
}

bool Context::is_valid() const
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return valid_;
}

const rclcpp::InitOptions & Context::get_init_options() const {return init_options_;}

rclcpp::InitOptions Context::get_init_options()
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return init_options_;
}

std::shared_ptr<rcl_context_t> Context::get_rcl_context()
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return rcl_context_;
}

size_t Context::get_domain_id() const
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return domain_id_;
}

std::string Context::shutdown_reason() const
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return shutdown_reason_;
}

bool Context::shutdown(const std::string & reason)
{
  {
    std::lock_guard<std::recursive_mutex> lock(init_mutex_);
    if (!valid_) {
      return false;
    }
    valid_ = false;
    shutdown_reason_ = reason;
    if (holds_logging_) {
      release_logging();
      holds_logging_ = false;
    }
  }
  // Outside the lock: callbacks may query or even re-initialise the context.
  for (const auto & callback : get_on_shutdown_callbacks()) {
    if (callback) {
      callback();
    }
  }
  interrupt_all_sleep_for();
  return true;
}

Context::OnShutdownCallback Context::on_shutdown(OnShutdownCallback callback)
{
  add_on_shutdown_callback(callback);
  return callback;
}

Context::OnShutdownCallbackHandle Context::add_on_shutdown_callback(OnShutdownCallback callback)
{
  auto stored = std::make_shared<OnShutdownCallback>(std::move(callback));
  {
    std::lock_guard<std::mutex> lock(on_shutdown_callbacks_mutex_);
    on_shutdown_callbacks_.push_back(stored);
  }
  OnShutdownCallbackHandle handle;
  handle.callback = stored;
  return handle;
}

bool Context::remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle)
{
  const auto target = callback_handle.callback.lock();
  if (!target) {
    return false;
  }
  std::lock_guard<std::mutex> lock(on_shutdown_callbacks_mutex_);
  const auto found = std::find(on_shutdown_callbacks_.begin(), on_shutdown_callbacks_.end(), target);
  if (found == on_shutdown_callbacks_.end()) {
    return false;
  }
  on_shutdown_callbacks_.erase(found);
  return true;
}

std::vector<Context::OnShutdownCallback> Context::get_on_shutdown_callbacks() const
{
  std::lock_guard<std::mutex> lock(on_shutdown_callbacks_mutex_);
  std::vector<OnShutdownCallback> callbacks;
  callbacks.reserve(on_shutdown_callbacks_.size());
  for (const auto & callback : on_shutdown_callbacks_) {
    callbacks.push_back(*callback);
  }
  return callbacks;
}

bool Context::sleep_for(const std::chrono::nanoseconds & nanoseconds)
{
  auto remaining = std::max(nanoseconds, std::chrono::nanoseconds::zero());
  std::unique_lock<std::mutex> lock(interrupt_mutex_);
  while (is_valid()) {
    const auto slice = std::min<std::chrono::nanoseconds>(remaining, kLongestSingleWait);
    const auto start = std::chrono::steady_clock::now();
    // Checking validity under interrupt_mutex_ means a shutdown between the
    // check and the wait still wakes us: its notify needs the same mutex.
    if (interrupt_condition_variable_.wait_until(lock, start + slice) ==
      std::cv_status::timeout && slice == remaining)
    {
      return is_valid();
    }
    remaining -= std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::steady_clock::now() - start);
    if (remaining <= std::chrono::nanoseconds::zero()) {
      return is_valid();
    }
  }
  return false;
}

void Context::interrupt_all_sleep_for()
{
  std::lock_guard<std::mutex> lock(interrupt_mutex_);
  interrupt_condition_variable_.notify_all();
}

namespace contexts
{

DefaultContext::DefaultContext() = default;

DefaultContext::SharedPtr get_global_default_context()
{
  static DefaultContext::SharedPtr default_context = DefaultContext::make_shared();
  return default_context;
}

}  // namespace contexts

}  // namespace rclcpp
