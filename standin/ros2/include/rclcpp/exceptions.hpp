// Stand-in for rclcpp/exceptions.hpp.
#ifndef STANDIN_RCLCPP__EXCEPTIONS_HPP_
#define STANDIN_RCLCPP__EXCEPTIONS_HPP_

#include "rclcpp/exceptions/exceptions.hpp"

#endif  // STANDIN_RCLCPP__EXCEPTIONS_HPP_
