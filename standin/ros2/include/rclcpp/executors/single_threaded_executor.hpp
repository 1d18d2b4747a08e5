// Stand-in for rclcpp/executors/single_threaded_executor.hpp; the class is
// declared next to its base in rclcpp/executor.hpp.
#ifndef STANDIN_RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_
#define STANDIN_RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_

#include "rclcpp/executor.hpp"

#endif  // STANDIN_RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_
