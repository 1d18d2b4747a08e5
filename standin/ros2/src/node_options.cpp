#include "rclcpp/node_options.hpp"

#include <utility>

namespace rclcpp
{

NodeOptions::NodeOptions(rcl_allocator_t allocator)
: allocator_(allocator)
{}

NodeOptions & NodeOptions::context(rclcpp::Context::SharedPtr context)
{
  context_ = std::move(context);
  return *this;
}

NodeOptions & NodeOptions::arguments(const std::vector<std::string> & arguments)
{
  arguments_ = arguments;
  return *this;
}

NodeOptions & NodeOptions::parameter_overrides(
  const std::vector<rclcpp::Parameter> & parameter_overrides)
{
  parameter_overrides_ = parameter_overrides;
  return *this;
}

NodeOptions & NodeOptions::use_global_arguments(bool use_global_arguments)
{
  use_global_arguments_ = use_global_arguments;
  return *this;
}

NodeOptions & NodeOptions::enable_rosout(bool enable_rosout)
{
  enable_rosout_ = enable_rosout;
  return *this;
}

NodeOptions & NodeOptions::use_intra_process_comms(bool use_intra_process_comms)
{
  use_intra_process_comms_ = use_intra_process_comms;
  return *this;
}

NodeOptions & NodeOptions::enable_topic_statistics(bool enable_topic_statistics)
{
  enable_topic_statistics_ = enable_topic_statistics;
  return *this;
}

NodeOptions & NodeOptions::start_parameter_services(bool start_parameter_services)
{
  start_parameter_services_ = start_parameter_services;
  return *this;
}

NodeOptions & NodeOptions::start_parameter_event_publisher(bool start_parameter_event_publisher)
{
  start_parameter_event_publisher_ = start_parameter_event_publisher;
  return *this;
}

NodeOptions & NodeOptions::clock_qos(const rclcpp::QoS & clock_qos)
{
  clock_qos_ = clock_qos;
  return *this;
}

NodeOptions & NodeOptions::use_clock_thread(bool use_clock_thread)
{
  use_clock_thread_ = use_clock_thread;
  return *this;
}

NodeOptions & NodeOptions::parameter_event_qos(const rclcpp::QoS & parameter_event_qos)
{
  parameter_event_qos_ = parameter_event_qos;
  return *this;
}

NodeOptions & NodeOptions::rosout_qos(const rclcpp::QoS & rosout_qos)
{
  rosout_qos_ = rosout_qos;
  return *this;
}

NodeOptions & NodeOptions::parameter_event_publisher_options(
  const rclcpp::PublisherOptionsBase & parameter_event_publisher_options)
{
  parameter_event_publisher_options_ = parameter_event_publisher_options;
  return *this;
}

NodeOptions & NodeOptions::allow_undeclared_parameters(bool allow_undeclared_parameters)
{
  allow_undeclared_parameters_ = allow_undeclared_parameters;
  return *this;
}

NodeOptions & NodeOptions::automatically_declare_parameters_from_overrides(
  bool automatically_declare)
{
  automatically_declare_parameters_from_overrides_ = automatically_declare;
  return *this;
}

NodeOptions & NodeOptions::allocator(rcl_allocator_t allocator)
{
  allocator_ = allocator;
  return *this;
}

}  // namespace rclcpp
