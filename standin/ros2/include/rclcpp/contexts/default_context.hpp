// Stand-in for rclcpp/contexts/default_context.hpp.
#ifndef STANDIN_RCLCPP__CONTEXTS__DEFAULT_CONTEXT_HPP_
#define STANDIN_RCLCPP__CONTEXTS__DEFAULT_CONTEXT_HPP_

#include "rclcpp/context.hpp"

namespace rclcpp
{
namespace contexts
{

class DefaultContext : public rclcpp::Context
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(DefaultContext)

  DefaultContext();
};

DefaultContext::SharedPtr get_global_default_context();

}  // namespace contexts
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__CONTEXTS__DEFAULT_CONTEXT_HPP_
