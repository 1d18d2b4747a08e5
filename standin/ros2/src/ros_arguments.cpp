// Parsing of the --ros-args sections of a command line, and the queries the
// context and nodes make on the result.
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "parameter_yaml.hpp"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "rcutils/logging.h"

namespace rclcpp
{
namespace detail
{

namespace
{

using exceptions::RCLInvalidROSArgsError;

const std::set<std::string> & flags_without_value()
{
  static const std::set<std::string> flags{
    "--enable-stdout-logs", "--disable-stdout-logs", "--enable-rosout-logs",
    "--disable-rosout-logs", "--enable-external-lib-logs", "--disable-external-lib-logs"};
  return flags;
}

const std::set<std::string> & ignored_flags_with_value()
{
  static const std::set<std::string> flags{"--log-config-file"};
  return flags;
}

const std::set<std::string> & handled_flags_with_value()
{
  static const std::set<std::string> flags{
    "-p", "--param", "--params-file", "-r", "--remap", "--log-level", "-e", "--enclave"};
  return flags;
}

struct Assignment
{
  std::string node_name;  // empty when the rule has no "node:" prefix
  std::string name;
  std::string value;
};

// Splits "[node:]name:=value"; throws when ":=" or a side is missing.
Assignment split_assignment(const std::string & flag, const std::string & text)
{
  const auto separator = text.find(":=");
  if (separator == std::string::npos) {
    throw RCLInvalidROSArgsError(
      "Couldn't parse " + flag + " argument '" + text + "': expected '[node:]name:=value'");
  }
  Assignment assignment;
  assignment.name = text.substr(0, separator);
  assignment.value = text.substr(separator + 2);
  const auto colon = assignment.name.find(':');
  if (colon != std::string::npos) {
    assignment.node_name = assignment.name.substr(0, colon);
    assignment.name.erase(0, colon + 1);
    if (assignment.node_name.empty()) {
      throw RCLInvalidROSArgsError(
        "Couldn't parse " + flag + " argument '" + text + "': empty node name");
    }
  }
  if (assignment.name.empty()) {
    throw RCLInvalidROSArgsError(
      "Couldn't parse " + flag + " argument '" + text + "': empty name");
  }
  return assignment;
}

// Node keys without a leading "/" are relative to the root namespace.
std::string absolute_node_pattern(const std::string & node_name)
{
  if (node_name.empty()) {
    return "/**";
  }
  return node_name.front() == '/' ? node_name : "/" + node_name;
}

std::vector<std::string> split_segments(const std::string & path)
{
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= path.size()) {
    const auto slash = path.find('/', start);
    const auto end = slash == std::string::npos ? path.size() : slash;
    if (end > start) {
      segments.push_back(path.substr(start, end - start));
    }
    if (slash == std::string::npos) {
      break;
    }
    start = slash + 1;
  }
  return segments;
}

bool segments_match(
  const std::vector<std::string> & pattern, size_t p,
  const std::vector<std::string> & name, size_t n)
{
  if (p == pattern.size()) {
    return n == name.size();
  }
  if (pattern[p] == "**") {
    // Any number of segments, including none.
    for (size_t skip = n; skip <= name.size(); ++skip) {
      if (segments_match(pattern, p + 1, name, skip)) {
        return true;
      }
    }
    return false;
  }
  if (n == name.size()) {
    return false;
  }
  return (pattern[p] == "*" || pattern[p] == name[n]) && segments_match(pattern, p + 1, name, n + 1);
}

bool rule_applies(const RemapRule & rule, const std::string & node_name)
{
  return rule.node_name.empty() || rule.node_name == node_name;
}

bool is_special_remap(const std::string & from)
{
  return from == "__node" || from == "__name" || from == "__ns";
}

// Where `from` (as written in the rule) sits at the end of the expanded
// name: relative rule names resolve in the node's namespace, which is what
// precedes them. Returns that namespace ("" for the root), or nullopt.
std::optional<std::string> match_namespace(
  const std::string & from, const std::string & node_name, const std::string & expanded)
{
  if (from.empty()) {
    return std::nullopt;
  }
  if (from.front() == '/') {
    return expanded == from ? std::optional<std::string>("") : std::nullopt;
  }
  std::string suffix = "/" + from;
  if (from.rfind("~/", 0) == 0) {
    suffix = "/" + node_name + from.substr(1);
  }
  if (expanded.size() < suffix.size() ||
    expanded.compare(expanded.size() - suffix.size(), suffix.size(), suffix) != 0)
  {
    return std::nullopt;
  }
  return expanded.substr(0, expanded.size() - suffix.size());
}

std::string expand_target(
  const std::string & to, const std::string & node_name, const std::string & node_namespace)
{
  if (!to.empty() && to.front() == '/') {
    return to;
  }
  if (to.rfind("~/", 0) == 0) {
    return node_namespace + "/" + node_name + to.substr(1);
  }
  return node_namespace + "/" + to;
}

}  // namespace

bool node_pattern_matches(const std::string & pattern, const std::string & node_fqn)
{
  return segments_match(
    split_segments(absolute_node_pattern(pattern)), 0, split_segments(node_fqn), 0);
}

RosArguments RosArguments::parse(const std::vector<std::string> & args)
{
  RosArguments parsed;
  std::vector<std::string> unknown;
  bool in_ros_section = false;
  for (size_t index = 0; index < args.size(); ++index) {
    const std::string & argument = args[index];
    if (argument == "--ros-args") {
      in_ros_section = true;
      continue;
    }
    if (!in_ros_section) {
      continue;
    }
    if (argument == "--") {
      in_ros_section = false;
      continue;
    }
    if (flags_without_value().count(argument)) {
      continue;
    }
    const bool takes_value =
      handled_flags_with_value().count(argument) || ignored_flags_with_value().count(argument);
    if (!takes_value) {
      unknown.push_back(argument);
      continue;
    }
    if (index + 1 >= args.size()) {
      throw RCLInvalidROSArgsError("Couldn't parse trailing " + argument + " flag. No value given");
    }
    const std::string & value = args[++index];
    if (argument == "-p" || argument == "--param") {
      const Assignment assignment = split_assignment(argument, value);
      parsed.add_parameter(
        absolute_node_pattern(assignment.node_name), assignment.name,
        parse_parameter_value(assignment.value));
    } else if (argument == "--params-file") {
      parsed.add_parameters_file(value);
    } else if (argument == "-r" || argument == "--remap") {
      parsed.add_remap(value);
    } else if (argument == "--log-level") {
      parsed.add_log_level(value);
    } else if (argument == "-e" || argument == "--enclave") {
      parsed.enclave_ = value;   // the last one wins, as in rcl
    }
  }
  if (!unknown.empty()) {
    throw exceptions::UnknownROSArgsError(std::move(unknown));
  }
  return parsed;
}

void RosArguments::add_parameter(
  const std::string & node_pattern, const std::string & name, const rclcpp::ParameterValue & value)
{
  for (auto & source : parameter_sources_) {
    if (source.node_pattern == node_pattern) {
      source.parameters[name] = value;
      return;
    }
  }
  parameter_sources_.push_back(ParameterOverrideSource{node_pattern, {{name, value}}});
}

void RosArguments::add_parameters_file(const std::string & path)
{
  for (const auto & source : read_parameters_file(path)) {
    for (const auto & parameter : source.parameters) {
      add_parameter(source.node_pattern, parameter.first, parameter.second);
    }
  }
}

void RosArguments::add_remap(const std::string & rule_text)
{
  const Assignment assignment = split_assignment("--remap", rule_text);
  if (assignment.value.empty()) {
    throw RCLInvalidROSArgsError("Couldn't parse remap rule '" + rule_text + "': empty target");
  }
  if (assignment.name == "__ns" && assignment.value.front() != '/') {
    throw RCLInvalidROSArgsError(
      "Couldn't parse remap rule '" + rule_text + "': namespace not remapped to a fully "
      "qualified name");
  }
  remap_rules_.push_back(RemapRule{assignment.node_name, assignment.name, assignment.value});
}

void RosArguments::add_log_level(const std::string & argument)
{
  std::string logger_name;
  std::string level_text = argument;
  const auto separator = argument.find(":=");
  if (separator != std::string::npos) {
    logger_name = argument.substr(0, separator);
    level_text = argument.substr(separator + 2);
    if (logger_name.empty()) {
      throw RCLInvalidROSArgsError("Couldn't parse log level '" + argument + "': empty logger");
    }
  }
  int level = RCUTILS_LOG_SEVERITY_UNSET;
  if (rcutils_logging_severity_level_from_string(
      level_text.c_str(), rcutils_get_default_allocator(), &level) != RCUTILS_RET_OK)
  {
    throw RCLInvalidROSArgsError("Couldn't parse log level '" + argument + "'");
  }
  log_levels_.emplace_back(logger_name, level);
}

std::map<std::string, rclcpp::ParameterValue> RosArguments::parameter_overrides(
  const std::string & node_fully_qualified_name) const
{
  std::map<std::string, rclcpp::ParameterValue> overrides;
  for (const auto & source : parameter_sources_) {
    if (!node_pattern_matches(source.node_pattern, node_fully_qualified_name)) {
      continue;
    }
    for (const auto & parameter : source.parameters) {
      overrides[parameter.first] = parameter.second;
    }
  }
  return overrides;
}

std::string RosArguments::remap_name(
  const std::string & node_name, const std::string & expanded_name) const
{
  for (const auto & rule : remap_rules_) {
    if (!rule_applies(rule, node_name) || is_special_remap(rule.from)) {
      continue;
    }
    const auto node_namespace = match_namespace(rule.from, node_name, expanded_name);
    if (node_namespace) {
      return expand_target(rule.to, node_name, *node_namespace);
    }
  }
  return expanded_name;
}

std::string RosArguments::remap_name(
  const std::string & node_name, const std::string & node_namespace,
  const std::string & expanded_name) const
{
  const std::string prefix = node_namespace == "/" ? "" : node_namespace;
  for (const auto & rule : remap_rules_) {
    if (!rule_applies(rule, node_name) || is_special_remap(rule.from)) {
      continue;
    }
    if (expand_target(rule.from, node_name, prefix) == expanded_name) {
      return expand_target(rule.to, node_name, prefix);
    }
  }
  return expanded_name;
}

std::optional<std::string> RosArguments::remapped_node_name(const std::string & node_name) const
{
  for (const auto & rule : remap_rules_) {
    if ((rule.from == "__node" || rule.from == "__name") && rule_applies(rule, node_name)) {
      return rule.to;
    }
  }
  return std::nullopt;
}

std::optional<std::string> RosArguments::remapped_namespace(const std::string & node_name) const
{
  for (const auto & rule : remap_rules_) {
    if (rule.from == "__ns" && rule_applies(rule, node_name)) {
      return rule.to;
    }
  }
  return std::nullopt;
}

const std::vector<std::pair<std::string, int>> & RosArguments::log_levels() const
{
  return log_levels_;
}

bool RosArguments::empty() const
{
  return parameter_sources_.empty() && remap_rules_.empty() && log_levels_.empty();
}

namespace
{
// Every parse ever made global stays alive, so a reference handed out by
// global_arguments() is never invalidated by a later init.
struct GlobalArguments
{
  std::mutex mutex;
  std::vector<std::unique_ptr<const RosArguments>> generations;
};

GlobalArguments & global_state()
{
  static GlobalArguments state;
  return state;
}
}  // namespace

const RosArguments & global_arguments()
{
  static const RosArguments empty_arguments;
  GlobalArguments & state = global_state();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.generations.empty() ? empty_arguments : *state.generations.back();
}

void set_global_arguments(RosArguments arguments)
{
  GlobalArguments & state = global_state();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.generations.push_back(std::make_unique<const RosArguments>(std::move(arguments)));
}

}  // namespace detail
}  // namespace rclcpp
