#include "rclcpp/node.hpp"

#include <stdexcept>
#include <utility>

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/exceptions/exceptions.hpp"

namespace rclcpp
{
namespace
{

struct Identity
{
  std::string name;
  std::string namespace_;
};

// Applies "__node:=" / "__ns:=" from the node's own arguments first, then
// from the process arguments, and validates the result.
Identity resolve_identity(
  const std::string & requested_name, const std::string & requested_namespace,
  const NodeOptions & options, const detail::RosArguments & local_arguments)
{
  Identity identity{requested_name, requested_namespace};
  const auto pick = [&](auto query) -> std::optional<std::string> {
      if (auto local = query(local_arguments)) {
        return local;
      }
      if (options.use_global_arguments()) {
        return query(detail::global_arguments());
      }
      return std::nullopt;
    };
  if (auto name = pick([&](const detail::RosArguments & a) {
      return a.remapped_node_name(requested_name);
    }))
  {
    identity.name = *name;
  }
  if (auto ns = pick([&](const detail::RosArguments & a) {
      return a.remapped_namespace(requested_name);
    }))
  {
    identity.namespace_ = *ns;
  }
  detail::validate_node_name(identity.name);
  identity.namespace_ = detail::normalize_namespace(identity.namespace_);
  return identity;
}

rclcpp::node_interfaces::NodeBaseInterface::SharedPtr make_node_base(
  const std::string & node_name, const std::string & namespace_, const NodeOptions & options,
  const detail::RosArguments & local_arguments)
{
  const Identity identity = resolve_identity(node_name, namespace_, options, local_arguments);
  rclcpp::Context::SharedPtr context = options.context();
  if (!context || !context->is_valid()) {
    throw rclcpp::exceptions::RCLError(
            "failed to initialize rcl node: the given context is not valid, either rcl_init() "
            "was not called or rcl_shutdown() was called.");
  }
  detail::Graph::BuiltinEndpoints builtins;
  builtins.parameter_services = options.start_parameter_services();
  builtins.parameter_event_publisher = options.start_parameter_event_publisher();
  builtins.rosout_publisher = options.enable_rosout();
  return std::make_shared<rclcpp::node_interfaces::NodeBaseInterface>(
    identity.name, identity.namespace_, context, builtins);
}

// Lowest to highest precedence: process arguments, the node's own
// arguments, NodeOptions::parameter_overrides.
std::map<std::string, rclcpp::ParameterValue> collect_overrides(
  const std::string & fully_qualified_name, const NodeOptions & options,
  const detail::RosArguments & local_arguments)
{
  std::map<std::string, rclcpp::ParameterValue> overrides;
  if (options.use_global_arguments()) {
    overrides = detail::global_arguments().parameter_overrides(fully_qualified_name);
  }
  for (auto & entry : local_arguments.parameter_overrides(fully_qualified_name)) {
    overrides[entry.first] = entry.second;
  }
  for (const auto & parameter : options.parameter_overrides()) {
    overrides[parameter.get_name()] = parameter.get_parameter_value();
  }
  return overrides;
}

}  // namespace

Node::Node(const std::string & node_name, const NodeOptions & options)
: Node(node_name, "", options)
{}

Node::Node(
  const std::string & node_name, const std::string & namespace_, const NodeOptions & options)
: node_options_(options),
  local_arguments_(detail::RosArguments::parse(options.arguments())),
  node_base_(make_node_base(node_name, namespace_, options, local_arguments_)),
  node_timers_(
    std::make_shared<rclcpp::node_interfaces::NodeTimersInterface>(node_base_.get())),
  logger_(rclcpp::get_logger(
      detail::node_logger_name(node_base_->get_name(), node_base_->get_namespace()))),
  parameters_(std::make_unique<detail::NodeParameters>(
      collect_overrides(node_base_->get_fully_qualified_name(), options, local_arguments_),
      options.allow_undeclared_parameters())),
  clock_(std::make_shared<rclcpp::Clock>(RCL_ROS_TIME)),
  time_source_(detail::TimeSource::create(clock_, node_base_->get_context()->get_domain_id()))
{
  if (options.automatically_declare_parameters_from_overrides()) {
    parameters_->declare_overrides_automatically();
  }
  parameters_->set_change_observer(
    [weak_source = std::weak_ptr<detail::TimeSource>(time_source_)](
      const rclcpp::Parameter & parameter) {
      auto source = weak_source.lock();
      if (source && parameter.get_name() == "use_sim_time" &&
      parameter.get_type() == rclcpp::PARAMETER_BOOL)
      {
        source->set_use_sim_time(parameter.as_bool());
      }
    });
  if (!parameters_->has_parameter("use_sim_time")) {
    parameters_->declare_parameter(
      "use_sim_time", rclcpp::ParameterValue(false), rcl_interfaces::msg::ParameterDescriptor(),
      false);
  } else {
    // Declared from an override above, before the observer existed.
    rclcpp::Parameter use_sim_time;
    if (parameters_->get_parameter("use_sim_time", use_sim_time) &&
      use_sim_time.get_type() == rclcpp::PARAMETER_BOOL)
    {
      time_source_->set_use_sim_time(use_sim_time.as_bool());
    }
  }
}

Node::~Node() = default;

const char * Node::get_name() const {return node_base_->get_name();}
const char * Node::get_namespace() const {return node_base_->get_namespace();}
const char * Node::get_fully_qualified_name() const
{
  return node_base_->get_fully_qualified_name();
}
rclcpp::Logger Node::get_logger() const {return logger_;}
rclcpp::Clock::SharedPtr Node::get_clock() {return clock_;}
rclcpp::Clock::ConstSharedPtr Node::get_clock() const {return clock_;}
Time Node::now() const {return clock_->now();}
const rclcpp::NodeOptions & Node::get_node_options() const {return node_options_;}

rclcpp::node_interfaces::NodeBaseInterface::SharedPtr Node::get_node_base_interface()
{
  return node_base_;
}

rclcpp::node_interfaces::NodeTimersInterface::SharedPtr Node::get_node_timers_interface()
{
  return node_timers_;
}

rclcpp::node_interfaces::NodeGraphInterface::SharedPtr Node::get_node_graph_interface()
{
  return node_graph_;
}

rclcpp::CallbackGroup::SharedPtr Node::create_callback_group(
  rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
{
  return std::make_shared<rclcpp::CallbackGroup>(
    group_type, automatically_add_to_executor_with_node);
}

std::string Node::resolve_name(const std::string & name, detail::NameKind kind) const
{
  const std::string expanded = detail::expand_and_validate(
    name, node_base_->get_name(), node_base_->get_namespace(), kind);
  const std::string locally_remapped = local_arguments_.remap_name(
    node_base_->get_name(), node_base_->get_namespace(), expanded);
  if (locally_remapped != expanded || !node_options_.use_global_arguments()) {
    return locally_remapped;
  }
  return detail::global_arguments().remap_name(
    node_base_->get_name(), node_base_->get_namespace(), expanded);
}

std::uint64_t Node::graph_node_id() const {return node_base_->get_graph_id();}

void Node::throw_if_context_shut_down(const char * what) const
{
  if (!node_base_->get_context()->is_valid()) {
    throw rclcpp::exceptions::RCLError(std::string(what) + ": node is invalid, the context is shut down");
  }
}

std::shared_ptr<detail::NodeNotifier> Node::notifier() const
{
  return node_base_->get_notifier();
}

const rclcpp::ParameterValue & Node::declare_parameter(
  const std::string & name, const rclcpp::ParameterValue & default_value,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  return parameters_->declare_parameter(name, default_value, parameter_descriptor, ignore_override);
}

const rclcpp::ParameterValue & Node::declare_parameter(
  const std::string & name, rclcpp::ParameterType type,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  return parameters_->declare_parameter(name, type, parameter_descriptor, ignore_override);
}

void Node::undeclare_parameter(const std::string & name)
{
  parameters_->undeclare_parameter(name);
}

bool Node::has_parameter(const std::string & name) const
{
  return parameters_->has_parameter(name);
}

rcl_interfaces::msg::SetParametersResult Node::set_parameter(const rclcpp::Parameter & parameter)
{
  return parameters_->set_parameters_atomically({parameter});
}

std::vector<rcl_interfaces::msg::SetParametersResult>
Node::set_parameters(const std::vector<rclcpp::Parameter> & parameters)
{
  return parameters_->set_parameters(parameters);
}

rcl_interfaces::msg::SetParametersResult
Node::set_parameters_atomically(const std::vector<rclcpp::Parameter> & parameters)
{
  return parameters_->set_parameters_atomically(parameters);
}

rclcpp::Parameter Node::get_parameter(const std::string & name) const
{
  return parameters_->get_parameter(name);
}

bool Node::get_parameter(const std::string & name, rclcpp::Parameter & parameter) const
{
  return parameters_->get_parameter(name, parameter);
}

std::vector<rclcpp::Parameter> Node::get_parameters(const std::vector<std::string> & names) const
{
  return parameters_->get_parameters(names);
}

rcl_interfaces::msg::ParameterDescriptor Node::describe_parameter(const std::string & name) const
{
  auto result = parameters_->describe_parameters({name});
  if (result.size() != 1) {
    throw std::runtime_error("number of described parameters unexpectedly not 1");
  }
  return result.front();
}

std::vector<rcl_interfaces::msg::ParameterDescriptor>
Node::describe_parameters(const std::vector<std::string> & names) const
{
  return parameters_->describe_parameters(names);
}

std::vector<uint8_t> Node::get_parameter_types(const std::vector<std::string> & names) const
{
  return parameters_->get_parameter_types(names);
}

Node::OnSetParametersCallbackHandle::SharedPtr
Node::add_on_set_parameters_callback(OnParametersSetCallbackType callback)
{
  return parameters_->add_on_set_parameters_callback(std::move(callback));
}

void Node::remove_on_set_parameters_callback(const OnSetParametersCallbackHandle * const handler)
{
  parameters_->remove_on_set_parameters_callback(handler);
}

// As in rclcpp, the node's graph queries are its graph interface's.
std::map<std::string, std::vector<std::string>> Node::get_topic_names_and_types() const
{
  return node_graph_->get_topic_names_and_types();
}

std::map<std::string, std::vector<std::string>> Node::get_service_names_and_types() const
{
  return node_graph_->get_service_names_and_types();
}

std::map<std::string, std::vector<std::string>> Node::get_service_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_) const
{
  return node_graph_->get_service_names_and_types_by_node(node_name, namespace_);
}

// Like rclcpp, the counts expand the name but do not apply remapping rules.
size_t Node::count_publishers(const std::string & topic_name) const
{
  return detail::Graph::instance().count_publishers(
    detail::expand_and_validate(
      topic_name, get_name(), get_namespace(), detail::NameKind::Topic),
    node_base_->get_context()->get_domain_id());
}

size_t Node::count_subscribers(const std::string & topic_name) const
{
  return detail::Graph::instance().count_subscribers(
    detail::expand_and_validate(
      topic_name, get_name(), get_namespace(), detail::NameKind::Topic),
    node_base_->get_context()->get_domain_id());
}

std::vector<std::string> Node::get_node_names() const
{
  return node_graph_->get_node_names();
}

}  // namespace rclcpp
