// Stand-in for rclcpp/executor_options.hpp.
#ifndef STANDIN_RCLCPP__EXECUTOR_OPTIONS_HPP_
#define STANDIN_RCLCPP__EXECUTOR_OPTIONS_HPP_

#include <cstddef>
#include <memory>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"

namespace rclcpp
{
namespace memory_strategy
{
// Only the name exists: the stand-in executor allocates nothing per wait.
class MemoryStrategy
{
public:
  using SharedPtr = std::shared_ptr<MemoryStrategy>;
  virtual ~MemoryStrategy() = default;
};
}  // namespace memory_strategy

struct ExecutorOptions
{
  ExecutorOptions()
  : memory_strategy(nullptr),
    context(rclcpp::contexts::get_global_default_context()),
    max_conditions(0)
  {}

  rclcpp::memory_strategy::MemoryStrategy::SharedPtr memory_strategy;
  rclcpp::Context::SharedPtr context;
  size_t max_conditions;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__EXECUTOR_OPTIONS_HPP_
