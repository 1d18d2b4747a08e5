// YAML typing of parameter values, shared by `-p name:=value` and parameter
// files, so that both give the same type for the same text.
#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "parameter_yaml.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace detail
{

namespace
{

using exceptions::RCLInvalidROSArgsError;

const std::set<std::string> & true_spellings()
{
  static const std::set<std::string> spellings{
    "true", "True", "TRUE", "yes", "Yes", "YES", "y", "Y", "on", "On", "ON"};
  return spellings;
}

const std::set<std::string> & false_spellings()
{
  static const std::set<std::string> spellings{
    "false", "False", "FALSE", "no", "No", "NO", "n", "N", "off", "Off", "OFF"};
  return spellings;
}

bool parse_whole_integer(const std::string & text, int64_t & value)
{
  if (text.empty()) {
    return false;
  }
  errno = 0;
  char * end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 0);  // NOLINT(runtime/int)
  if (errno != 0 || end == text.c_str() || *end != '\0') {
    return false;
  }
  value = static_cast<int64_t>(parsed);
  return true;
}

bool parse_special_double(const std::string & text, double & value)
{
  static const std::set<std::string> positive_infinity{
    ".inf", ".Inf", ".INF", "+.inf", "+.Inf", "+.INF"};
  static const std::set<std::string> negative_infinity{"-.inf", "-.Inf", "-.INF"};
  static const std::set<std::string> not_a_number{".nan", ".NaN", ".NAN"};
  if (positive_infinity.count(text)) {
    value = std::numeric_limits<double>::infinity();
  } else if (negative_infinity.count(text)) {
    value = -std::numeric_limits<double>::infinity();
  } else if (not_a_number.count(text)) {
    value = std::numeric_limits<double>::quiet_NaN();
  } else {
    return false;
  }
  return true;
}

bool parse_whole_double(const std::string & text, double & value)
{
  if (parse_special_double(text, value)) {
    return true;
  }
  if (text.empty()) {
    return false;
  }
  errno = 0;
  char * end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || end == text.c_str() || *end != '\0') {
    return false;
  }
  value = parsed;
  return true;
}

// A scalar node written without quotes or tag.
bool is_plain(const YAML::Node & node)
{
  return node.Tag() == "?" || node.Tag().empty();
}

rclcpp::ParameterValue typed_scalar(const YAML::Node & node, const std::string & where)
{
  if (node.IsNull()) {
    throw RCLInvalidROSArgsError("no value for parameter " + where);
  }
  if (!node.IsScalar()) {
    throw RCLInvalidROSArgsError("parameter " + where + " is not a scalar");
  }
  return is_plain(node) ? typed_plain_scalar(node.Scalar()) :
         rclcpp::ParameterValue(node.Scalar());
}

template<typename ElementT>
std::vector<ElementT> elements_as(const std::vector<rclcpp::ParameterValue> & elements)
{
  std::vector<ElementT> values;
  values.reserve(elements.size());
  for (const auto & element : elements) {
    values.push_back(element.get<ElementT>());
  }
  return values;
}

rclcpp::ParameterValue typed_sequence(const YAML::Node & node, const std::string & where)
{
  if (node.size() == 0) {
    throw RCLInvalidROSArgsError("empty array for parameter " + where + " has no type");
  }
  std::vector<rclcpp::ParameterValue> elements;
  for (const YAML::Node & element : node) {
    elements.push_back(typed_scalar(element, where));
    if (elements.back().get_type() != elements.front().get_type()) {
      throw RCLInvalidROSArgsError(
        "array elements of parameter " + where + " should be of the same type");
    }
  }
  switch (elements.front().get_type()) {
    case PARAMETER_BOOL: return rclcpp::ParameterValue(elements_as<bool>(elements));
    case PARAMETER_INTEGER: return rclcpp::ParameterValue(elements_as<int64_t>(elements));
    case PARAMETER_DOUBLE: return rclcpp::ParameterValue(elements_as<double>(elements));
    default: return rclcpp::ParameterValue(elements_as<std::string>(elements));
  }
}

rclcpp::ParameterValue typed_value(const YAML::Node & node, const std::string & where)
{
  return node.IsSequence() ? typed_sequence(node, where) : typed_scalar(node, where);
}

// Adds every leaf under `node` with its dotted name ("detector.threshold").
void collect_parameters(
  const YAML::Node & node, const std::string & prefix, ParameterOverrideSource & source)
{
  if (!node.IsMap()) {
    throw RCLInvalidROSArgsError("parameters of node '" + source.node_pattern + "' must be a map");
  }
  for (const auto & entry : node) {
    const std::string name = prefix + entry.first.as<std::string>();
    if (entry.second.IsMap()) {
      collect_parameters(entry.second, name + ".", source);
    } else {
      source.parameters[name] = typed_value(entry.second, "'" + name + "'");
    }
  }
}

// "/ns" + "node" -> "/ns/node"; keys may carry their own slashes.
std::string join_node_path(const std::string & parent, const std::string & key)
{
  std::string path = parent;
  std::stringstream segments(key);
  std::string segment;
  while (std::getline(segments, segment, '/')) {
    if (!segment.empty()) {
      path += "/" + segment;
    }
  }
  return path;
}

void collect_nodes(
  const YAML::Node & node, const std::string & node_path,
  std::vector<ParameterOverrideSource> & sources)
{
  if (!node.IsMap()) {
    throw RCLInvalidROSArgsError(
      "expected a map of node names or 'ros__parameters' under '" + node_path + "'");
  }
  for (const auto & entry : node) {
    const std::string key = entry.first.as<std::string>();
    if (key == "ros__parameters") {
      ParameterOverrideSource source{node_path.empty() ? "/" : node_path, {}};
      if (!entry.second.IsNull()) {
        collect_parameters(entry.second, "", source);
      }
      sources.push_back(std::move(source));
    } else {
      collect_nodes(entry.second, join_node_path(node_path, key), sources);
    }
  }
}

// ROS 2's parameter file parser refuses aliases ("Will not support
// aliasing"). Following them here would also let a small file of nested
// aliases expand into exponentially many parameters.
class AliasRefusal : public YAML::EventHandler
{
public:
  explicit AliasRefusal(const std::string & path)
  : path_(path) {}

  void OnAlias(const YAML::Mark & mark, YAML::anchor_t) override
  {
    throw RCLInvalidROSArgsError(
            "failed to parse parameter file '" + path_ + "': aliases are not supported (line " +
            std::to_string(mark.line + 1) + ", column " + std::to_string(mark.column + 1) + ")");
  }
  void OnDocumentStart(const YAML::Mark &) override {}
  void OnDocumentEnd() override {}
  void OnNull(const YAML::Mark &, YAML::anchor_t) override {}
  void OnScalar(const YAML::Mark &, const std::string &, YAML::anchor_t, const std::string &) override {}
  void OnSequenceStart(const YAML::Mark &, const std::string &, YAML::anchor_t, YAML::EmitterStyle::value) override {}
  void OnSequenceEnd() override {}
  void OnMapStart(const YAML::Mark &, const std::string &, YAML::anchor_t, YAML::EmitterStyle::value) override {}
  void OnMapEnd() override {}

private:
  std::string path_;
};

// Only the first document counts, as for YAML::Load.
void refuse_aliases(const std::string & text, const std::string & path)
{
  std::istringstream in(text);
  YAML::Parser parser(in);
  AliasRefusal refusal(path);
  parser.HandleNextDocument(refusal);
}

}  // namespace

rclcpp::ParameterValue typed_plain_scalar(const std::string & text)
{
  if (true_spellings().count(text)) {
    return rclcpp::ParameterValue(true);
  }
  if (false_spellings().count(text)) {
    return rclcpp::ParameterValue(false);
  }
  int64_t integer = 0;
  if (parse_whole_integer(text, integer)) {
    return rclcpp::ParameterValue(integer);
  }
  double floating = 0.0;
  if (parse_whole_double(text, floating)) {
    return rclcpp::ParameterValue(floating);
  }
  return rclcpp::ParameterValue(text);
}

rclcpp::ParameterValue parse_parameter_value(const std::string & text)
{
  YAML::Node node;
  try {
    node = YAML::Load(text);
  } catch (const YAML::Exception & error) {
    throw RCLInvalidROSArgsError("cannot parse parameter value '" + text + "': " + error.what());
  }
  if (node.IsNull()) {
    // YAML reads "~" or "null" as null; the command line keeps them as text.
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
      throw RCLInvalidROSArgsError("no value given in '" + text + "'");
    }
    const auto last = text.find_last_not_of(" \t");
    return typed_plain_scalar(text.substr(first, last - first + 1));
  }
  if (node.IsMap()) {
    throw RCLInvalidROSArgsError("a parameter value cannot be a map: '" + text + "'");
  }
  return typed_value(node, "value '" + text + "'");
}

std::vector<ParameterOverrideSource> read_parameters_file(const std::string & path)
{
  std::ifstream file(path);
  if (!file) {
    throw RCLInvalidROSArgsError("cannot open parameter file '" + path + "'");
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::vector<ParameterOverrideSource> sources;
  try {
    refuse_aliases(text, path);
    const YAML::Node root = YAML::Load(text);
    if (!root.IsNull()) {
      collect_nodes(root, "", sources);
    }
  } catch (const YAML::Exception & error) {
    throw RCLInvalidROSArgsError(
      "failed to parse parameter file '" + path + "': " + error.what());
  }
  return sources;
}

}  // namespace detail
}  // namespace rclcpp
