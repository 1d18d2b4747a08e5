// Stand-in for rclcpp/intra_process_setting.hpp. All delivery in the stand-in
// is in-process, so the setting is accepted and has no effect.
#ifndef STANDIN_RCLCPP__INTRA_PROCESS_SETTING_HPP_
#define STANDIN_RCLCPP__INTRA_PROCESS_SETTING_HPP_

namespace rclcpp
{

enum class IntraProcessSetting
{
  Enable,
  Disable,
  NodeDefault
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__INTRA_PROCESS_SETTING_HPP_
