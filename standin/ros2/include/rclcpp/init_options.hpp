// Stand-in for rclcpp/init_options.hpp.
#ifndef STANDIN_RCLCPP__INIT_OPTIONS_HPP_
#define STANDIN_RCLCPP__INIT_OPTIONS_HPP_

#include "rcl/allocator.h"

namespace rclcpp
{

class InitOptions
{
public:
  // Shut the context down on SIGINT / SIGTERM once handlers are installed.
  bool shutdown_on_signal = true;

  explicit InitOptions(rcl_allocator_t allocator = rcl_get_default_allocator());
  virtual ~InitOptions() = default;
  InitOptions(const InitOptions &) = default;
  InitOptions & operator=(const InitOptions &) = default;

  bool auto_initialize_logging() const;
  InitOptions & auto_initialize_logging(bool initialize_logging);

  // The domain decides which nodes can hear each other. The default is the
  // ROS_DOMAIN_ID environment variable, else domain 0, read at init.
  static constexpr size_t kDefaultDomainId = static_cast<size_t>(-1);
  InitOptions & use_default_domain_id();
  InitOptions & set_domain_id(size_t domain_id);
  size_t get_domain_id() const;

private:
  bool initialize_logging_ = true;
  size_t domain_id_ = kDefaultDomainId;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__INIT_OPTIONS_HPP_
