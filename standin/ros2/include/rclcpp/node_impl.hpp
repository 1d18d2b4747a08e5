// Template members of rclcpp::Node (included at the end of node.hpp).
#ifndef STANDIN_RCLCPP__NODE_IMPL_HPP_
#define STANDIN_RCLCPP__NODE_IMPL_HPP_

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/create_timer.hpp"
#include "rclcpp/exceptions/exceptions.hpp"

namespace rclcpp
{

template<typename MessageT, typename AllocatorT, typename PublisherT>
std::shared_ptr<PublisherT>
Node::create_publisher(
  const std::string & topic_name, const rclcpp::QoS & qos,
  const PublisherOptionsWithAllocator<AllocatorT> & options)
{
  throw_if_context_shut_down("could not create publisher");
  return std::make_shared<PublisherT>(
    resolve_name(topic_name, detail::NameKind::Topic), qos, options, graph_node_id(),
    node_base_->get_context());
}

template<typename MessageT, typename CallbackT, typename AllocatorT, typename SubscriptionT,
  typename MessageMemoryStrategyT>
std::shared_ptr<SubscriptionT>
Node::create_subscription(
  const std::string & topic_name, const rclcpp::QoS & qos, CallbackT && callback,
  const SubscriptionOptionsWithAllocator<AllocatorT> & options,
  typename MessageMemoryStrategyT::SharedPtr)
{
  throw_if_context_shut_down("could not create subscription");
  AnySubscriptionCallback<MessageT, AllocatorT> any_callback;
  any_callback.set(std::forward<CallbackT>(callback));
  auto subscription = std::make_shared<SubscriptionT>(
    resolve_name(topic_name, detail::NameKind::Topic), qos, std::move(any_callback), options,
    graph_node_id(), notifier());
  subscription->register_in_graph();
  node_base_->add_subscription(subscription);
  return subscription;
}

template<typename DurationRepT, typename DurationT, typename CallbackT>
typename rclcpp::WallTimer<CallbackT>::SharedPtr
Node::create_wall_timer(
  std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
  rclcpp::CallbackGroup::SharedPtr group)
{
  return rclcpp::create_wall_timer(
    period, std::move(callback), group, node_base_.get(), node_timers_.get());
}

template<typename ServiceT, typename CallbackT>
typename rclcpp::Service<ServiceT>::SharedPtr
Node::create_service(
  const std::string & service_name, CallbackT && callback, const rmw_qos_profile_t &,
  rclcpp::CallbackGroup::SharedPtr)
{
  throw_if_context_shut_down("could not create service");
  auto service = std::make_shared<rclcpp::Service<ServiceT>>(
    resolve_name(service_name, detail::NameKind::Service), std::forward<CallbackT>(callback),
    graph_node_id(), notifier());
  service->register_in_graph();
  node_base_->add_service(service);
  return service;
}

template<typename ServiceT>
typename rclcpp::Client<ServiceT>::SharedPtr
Node::create_client(
  const std::string & service_name, const rmw_qos_profile_t &, rclcpp::CallbackGroup::SharedPtr)
{
  throw_if_context_shut_down("could not create client");
  auto client = std::make_shared<rclcpp::Client<ServiceT>>(
    resolve_name(service_name, detail::NameKind::Service), graph_node_id(), notifier(),
    node_base_->get_context());
  node_base_->add_client(client);
  return client;
}

template<typename ParameterT>
auto Node::declare_parameter(
  const std::string & name, const ParameterT & default_value,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  try {
    return this->declare_parameter(
      name, rclcpp::ParameterValue(default_value), parameter_descriptor, ignore_override
    ).template get<ParameterT>();
  } catch (const ParameterTypeException & ex) {
    throw exceptions::InvalidParameterTypeException(name, ex.what());
  }
}

template<typename ParameterT>
auto Node::declare_parameter(
  const std::string & name, const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor,
  bool ignore_override)
{
  // The type follows from a value-initialised ParameterT.
  const rclcpp::ParameterValue prototype{ParameterT{}};
  try {
    return this->declare_parameter(
      name, prototype.get_type(), parameter_descriptor, ignore_override
    ).template get<ParameterT>();
  } catch (const ParameterTypeException &) {
    throw exceptions::UninitializedStaticallyTypedParameterException(name);
  }
}

template<typename ParameterT>
std::vector<ParameterT> Node::declare_parameters(
  const std::string & namespace_, const std::map<std::string, ParameterT> & parameters,
  bool ignore_overrides)
{
  std::vector<ParameterT> result;
  for (const auto & element : parameters) {
    const std::string name = namespace_.empty() ? element.first : namespace_ + "." + element.first;
    result.push_back(
      static_cast<ParameterT>(
        this->declare_parameter(
          name, element.second, rcl_interfaces::msg::ParameterDescriptor(), ignore_overrides)));
  }
  return result;
}

template<typename ParameterT>
bool Node::get_parameter(const std::string & name, ParameterT & parameter) const
{
  rclcpp::Parameter stored;
  const bool found = get_parameter(name, stored);
  if (found) {
    parameter = static_cast<ParameterT>(stored.get_value<ParameterT>());
  }
  return found;
}

template<typename ParameterT>
bool Node::get_parameter_or(
  const std::string & name, ParameterT & parameter, const ParameterT & alternative_value) const
{
  const bool found = get_parameter(name, parameter);
  if (!found) {
    parameter = alternative_value;
  }
  return found;
}

template<typename ParameterT>
ParameterT Node::get_parameter_or(
  const std::string & name, const ParameterT & alternative_value) const
{
  ParameterT parameter;
  get_parameter_or(name, parameter, alternative_value);
  return parameter;
}

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__NODE_IMPL_HPP_
