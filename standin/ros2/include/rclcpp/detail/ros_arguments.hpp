// Stand-in internal: the ROS part of a command line (the --ros-args
// sections), parsed once and queried by contexts and nodes.
#ifndef STANDIN_RCLCPP__DETAIL__ROS_ARGUMENTS_HPP_
#define STANDIN_RCLCPP__DETAIL__ROS_ARGUMENTS_HPP_

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/parameter_value.hpp"

namespace rclcpp
{
namespace detail
{

// One `-p` value or one file's node entry: the node key ("/**", "/ns/name",
// ...) with its parameters.
struct ParameterOverrideSource
{
  std::string node_pattern;
  std::map<std::string, rclcpp::ParameterValue> parameters;
};

// One `-r` rule; an empty node_name applies to every node.
struct RemapRule
{
  std::string node_name;
  std::string from;
  std::string to;
};

class RosArguments
{
public:
  // Reads only the arguments inside `--ros-args ... [--]` sections. Throws
  // exceptions::UnknownROSArgsError for unknown flags and
  // exceptions::RCLInvalidROSArgsError for a missing or malformed value, a
  // missing parameter file or bad YAML.
  static RosArguments parse(const std::vector<std::string> & args);

  // Overrides that apply to the node with this fully qualified name
  // ("/ns/name"); for a name set by several matching keys, the key that first
  // appeared later on the command line wins.
  std::map<std::string, rclcpp::ParameterValue> parameter_overrides(
    const std::string & node_fully_qualified_name) const;

  // Applies the first matching rule (for all nodes or this node) to an
  // already expanded topic or service name; returns it unchanged otherwise.
  std::string remap_name(const std::string & node_name, const std::string & expanded_name) const;

  // Exact form: relative rule names resolve in `node_namespace` ("/" or
  // "/ns"), so a rule "b:=c" matches "/ns/b" only.
  std::string remap_name(
    const std::string & node_name, const std::string & node_namespace,
    const std::string & expanded_name) const;

  std::optional<std::string> remapped_node_name(const std::string & node_name) const;
  std::optional<std::string> remapped_namespace(const std::string & node_name) const;

  // In command-line order; logger "" stands for the default level.
  const std::vector<std::pair<std::string, int>> & log_levels() const;

  // The security enclave given with -e / --enclave, if any.
  const std::optional<std::string> & enclave() const {return enclave_;}

  // No parameters, remappings or log levels.
  bool empty() const;

private:
  void add_parameter(const std::string & node_pattern, const std::string & name,
    const rclcpp::ParameterValue & value);
  void add_parameters_file(const std::string & path);
  void add_remap(const std::string & rule);
  void add_log_level(const std::string & argument);

  // Node keys in order of first appearance, each with its merged parameters.
  std::vector<ParameterOverrideSource> parameter_sources_;
  std::vector<RemapRule> remap_rules_;
  std::vector<std::pair<std::string, int>> log_levels_;
  std::optional<std::string> enclave_;
};

// Parses a parameter value with the YAML scalar rules of the command line
// (bool spellings, integers incl. hex/octal, doubles incl. .inf/.nan, quoted
// strings, [a, b] arrays of one type). Throws RCLInvalidROSArgsError for a
// mixed-type or malformed array.
rclcpp::ParameterValue parse_parameter_value(const std::string & text);

// True when the file node key matches the fully qualified node name, with
// "/*" matching one segment and "/**" any number of segments.
bool node_pattern_matches(const std::string & pattern, const std::string & node_fqn);

// What the last rclcpp::init on the global default context parsed (empty
// before init).
const RosArguments & global_arguments();

// Replaces what global_arguments() returns; used by the global context's init.
void set_global_arguments(RosArguments arguments);

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DETAIL__ROS_ARGUMENTS_HPP_
