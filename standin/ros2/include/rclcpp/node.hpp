// Stand-in for rclcpp/node.hpp: a node of the in-process graph with its
// parameters, entities, clock and name resolution.
#ifndef STANDIN_RCLCPP__NODE_HPP_
#define STANDIN_RCLCPP__NODE_HPP_

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/client.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/detail/names.hpp"
#include "rclcpp/detail/node_parameters.hpp"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/detail/time_source.hpp"
#include "rclcpp/logger.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/node_interfaces/node_graph_interface.hpp"
#include "rclcpp/node_interfaces/node_parameters_interface.hpp"
#include "rclcpp/node_interfaces/node_timers_interface.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/service.hpp"
#include "rclcpp/subscription.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/timer.hpp"
#include "rmw/qos_profiles.h"

namespace rclcpp
{

class Node : public std::enable_shared_from_this<Node>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Node)

  using OnSetParametersCallbackHandle = rclcpp::node_interfaces::OnSetParametersCallbackHandle;
  using OnParametersSetCallbackType =
    rclcpp::node_interfaces::OnSetParametersCallbackHandle::OnParametersSetCallbackType;

  // Throws InvalidNodeNameError / InvalidNamespaceError for bad names and
  // exceptions::RCLError when the context is not initialised.
  explicit Node(const std::string & node_name, const NodeOptions & options = NodeOptions());
  explicit Node(
    const std::string & node_name, const std::string & namespace_,
    const NodeOptions & options = NodeOptions());
  Node(const Node &) = delete;
  Node & operator=(const Node &) = delete;
  virtual ~Node();

  const char * get_name() const;
  const char * get_namespace() const;
  const char * get_fully_qualified_name() const;
  rclcpp::Logger get_logger() const;
  rclcpp::Clock::SharedPtr get_clock();
  rclcpp::Clock::ConstSharedPtr get_clock() const;
  Time now() const;
  const rclcpp::NodeOptions & get_node_options() const;

  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr get_node_base_interface();
  rclcpp::node_interfaces::NodeTimersInterface::SharedPtr get_node_timers_interface();
  rclcpp::node_interfaces::NodeGraphInterface::SharedPtr get_node_graph_interface();

  rclcpp::CallbackGroup::SharedPtr create_callback_group(
    rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);

  template<typename MessageT, typename AllocatorT = std::allocator<void>,
    typename PublisherT = rclcpp::Publisher<MessageT, AllocatorT>>
  std::shared_ptr<PublisherT>
  create_publisher(
    const std::string & topic_name, const rclcpp::QoS & qos,
    const PublisherOptionsWithAllocator<AllocatorT> & options =
    PublisherOptionsWithAllocator<AllocatorT>());

  template<typename MessageT, typename CallbackT, typename AllocatorT = std::allocator<void>,
    typename SubscriptionT = rclcpp::Subscription<MessageT, AllocatorT>,
    typename MessageMemoryStrategyT = typename SubscriptionT::MessageMemoryStrategyType>
  std::shared_ptr<SubscriptionT>
  create_subscription(
    const std::string & topic_name, const rclcpp::QoS & qos, CallbackT && callback,
    const SubscriptionOptionsWithAllocator<AllocatorT> & options =
    SubscriptionOptionsWithAllocator<AllocatorT>(),
    typename MessageMemoryStrategyT::SharedPtr msg_mem_strat =
    MessageMemoryStrategyT::create_default());

  template<typename DurationRepT = int64_t, typename DurationT = std::milli, typename CallbackT>
  typename rclcpp::WallTimer<CallbackT>::SharedPtr
  create_wall_timer(
    std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
    rclcpp::CallbackGroup::SharedPtr group = nullptr);

  template<typename ServiceT, typename CallbackT>
  typename rclcpp::Service<ServiceT>::SharedPtr
  create_service(
    const std::string & service_name, CallbackT && callback,
    const rmw_qos_profile_t & qos_profile = rmw_qos_profile_services_default,
    rclcpp::CallbackGroup::SharedPtr group = nullptr);

  template<typename ServiceT>
  typename rclcpp::Client<ServiceT>::SharedPtr
  create_client(
    const std::string & service_name,
    const rmw_qos_profile_t & qos_profile = rmw_qos_profile_services_default,
    rclcpp::CallbackGroup::SharedPtr group = nullptr);

  // Parameters.
  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name, const rclcpp::ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false);
  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name, rclcpp::ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor{},
    bool ignore_override = false);
  template<typename ParameterT>
  auto declare_parameter(
    const std::string & name, const ParameterT & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false);
  template<typename ParameterT>
  auto declare_parameter(
    const std::string & name,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false);
  template<typename ParameterT>
  std::vector<ParameterT> declare_parameters(
    const std::string & namespace_, const std::map<std::string, ParameterT> & parameters,
    bool ignore_overrides = false);

  void undeclare_parameter(const std::string & name);
  bool has_parameter(const std::string & name) const;

  rcl_interfaces::msg::SetParametersResult set_parameter(const rclcpp::Parameter & parameter);
  std::vector<rcl_interfaces::msg::SetParametersResult>
  set_parameters(const std::vector<rclcpp::Parameter> & parameters);
  rcl_interfaces::msg::SetParametersResult
  set_parameters_atomically(const std::vector<rclcpp::Parameter> & parameters);

  rclcpp::Parameter get_parameter(const std::string & name) const;
  bool get_parameter(const std::string & name, rclcpp::Parameter & parameter) const;
  template<typename ParameterT>
  bool get_parameter(const std::string & name, ParameterT & parameter) const;
  template<typename ParameterT>
  bool get_parameter_or(
    const std::string & name, ParameterT & parameter, const ParameterT & alternative_value) const;
  template<typename ParameterT>
  ParameterT get_parameter_or(const std::string & name, const ParameterT & alternative_value) const;
  std::vector<rclcpp::Parameter> get_parameters(const std::vector<std::string> & names) const;
  rcl_interfaces::msg::ParameterDescriptor describe_parameter(const std::string & name) const;
  std::vector<rcl_interfaces::msg::ParameterDescriptor>
  describe_parameters(const std::vector<std::string> & names) const;
  std::vector<uint8_t> get_parameter_types(const std::vector<std::string> & names) const;

  [[nodiscard]] OnSetParametersCallbackHandle::SharedPtr
  add_on_set_parameters_callback(OnParametersSetCallbackType callback);
  void remove_on_set_parameters_callback(const OnSetParametersCallbackHandle * const handler);

  // Graph queries over every node of the process.
  std::map<std::string, std::vector<std::string>> get_topic_names_and_types() const;
  std::map<std::string, std::vector<std::string>> get_service_names_and_types() const;
  std::map<std::string, std::vector<std::string>> get_service_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_) const;
  size_t count_publishers(const std::string & topic_name) const;
  size_t count_subscribers(const std::string & topic_name) const;
  std::vector<std::string> get_node_names() const;

private:
  // Expands, validates and remaps a topic or service name.
  std::string resolve_name(const std::string & name, detail::NameKind kind) const;
  std::uint64_t graph_node_id() const;
  std::shared_ptr<detail::NodeNotifier> notifier() const;
  // As rcl, which checks the node (and so its context) before creating an
  // entity: after shutdown, for example by a signal, creation throws RCLError.
  void throw_if_context_shut_down(const char * what) const;

  rclcpp::NodeOptions node_options_;
  // The node's own --ros-args (NodeOptions::arguments), parsed once.
  detail::RosArguments local_arguments_;
  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_base_;
  rclcpp::node_interfaces::NodeTimersInterface::SharedPtr node_timers_;
  rclcpp::node_interfaces::NodeGraphInterface::SharedPtr node_graph_ =
    std::make_shared<rclcpp::node_interfaces::NodeGraphInterface>();
  rclcpp::Logger logger_;
  std::unique_ptr<detail::NodeParameters> parameters_;
  rclcpp::Clock::SharedPtr clock_;
  std::shared_ptr<detail::TimeSource> time_source_;
};

}  // namespace rclcpp

#include "rclcpp/node_impl.hpp"

#endif  // STANDIN_RCLCPP__NODE_HPP_
