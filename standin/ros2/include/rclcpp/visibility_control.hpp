// Stand-in for rclcpp/visibility_control.hpp: the stand-in is a static
// library, so no symbol needs exporting.
#ifndef STANDIN_RCLCPP__VISIBILITY_CONTROL_HPP_
#define STANDIN_RCLCPP__VISIBILITY_CONTROL_HPP_

#define RCLCPP_EXPORT
#define RCLCPP_IMPORT
#define RCLCPP_PUBLIC
#define RCLCPP_LOCAL
#define RCLCPP_PUBLIC_TYPE

#endif  // STANDIN_RCLCPP__VISIBILITY_CONTROL_HPP_
