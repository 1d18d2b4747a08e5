// Stand-in for rclcpp/message_info.hpp.
#ifndef STANDIN_RCLCPP__MESSAGE_INFO_HPP_
#define STANDIN_RCLCPP__MESSAGE_INFO_HPP_

#include "rmw/types.h"

namespace rclcpp
{

class MessageInfo
{
public:
  MessageInfo() = default;
  // Implicit, as in rclcpp, so an rmw_message_info_t can be passed directly.
  MessageInfo(const rmw_message_info_t & rmw_message_info)  // NOLINT(runtime/explicit)
  : rmw_message_info_(rmw_message_info) {}
  virtual ~MessageInfo() = default;

  const rmw_message_info_t & get_rmw_message_info() const {return rmw_message_info_;}
  rmw_message_info_t & get_rmw_message_info() {return rmw_message_info_;}

private:
  rmw_message_info_t rmw_message_info_{};
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__MESSAGE_INFO_HPP_
