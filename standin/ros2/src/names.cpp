#include "rclcpp/detail/names.hpp"

#include <cctype>
#include <string>

#include "rclcpp/exceptions/exceptions.hpp"

namespace rclcpp
{
namespace detail
{
namespace
{

// rcl limits the length of a fully qualified name to what DDS topics allow.
constexpr std::size_t kMaxNodeNameLength = 255;

bool is_name_char(char c)
{
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool is_digit(char c)
{
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

struct Problem
{
  const char * message = nullptr;
  std::size_t index = 0;
};

// Checks an absolute path of tokens ("/a/b"); `allow_root` accepts "/".
Problem check_absolute_path(const std::string & path, bool allow_root)
{
  if (path.empty()) {
    return {"must not be empty", 0};
  }
  if (path[0] != '/') {
    return {"must be absolute, it must lead with a '/'", 0};
  }
  if (path.size() == 1) {
    return allow_root ? Problem{} : Problem{"must not end with a forward slash", 0};
  }
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '/') {
      if (i + 1 == path.size()) {
        return {"must not end with a forward slash", i};
      }
      if (path[i + 1] == '/') {
        return {"must not contain repeated forward slashes", i + 1};
      }
      if (is_digit(path[i + 1])) {
        return {"must not have a token that starts with a number", i + 1};
      }
    } else if (!is_name_char(c)) {
      return {"must not contain characters other than alphanumerics, '_', or '/'", i};
    }
  }
  return {};
}

[[noreturn]] void throw_invalid(NameKind kind, const std::string & name, const Problem & problem)
{
  const std::string message =
    std::string(kind == NameKind::Topic ? "topic name " : "service name ") + problem.message;
  if (kind == NameKind::Topic) {
    throw rclcpp::exceptions::InvalidTopicNameError(name.c_str(), message.c_str(), problem.index);
  }
  throw rclcpp::exceptions::InvalidServiceNameError(name.c_str(), message.c_str(), problem.index);
}

// Replaces "{node}", "{ns}" and "{namespace}"; any other substitution or an
// unbalanced brace is an error.
Problem substitute(
  std::string & name, const std::string & node_name, const std::string & node_namespace)
{
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '}') {
      return {"must not contain an unmatched '}'", i};
    }
    if (name[i] != '{') {
      out += name[i];
      continue;
    }
    const std::size_t close = name.find('}', i);
    if (close == std::string::npos) {
      return {"must not contain an unmatched '{'", i};
    }
    const std::string key = name.substr(i + 1, close - i - 1);
    if (key == "node") {
      out += node_name;
    } else if (key == "ns" || key == "namespace") {
      out += node_namespace;
    } else {
      return {"contains an unknown substitution", i};
    }
    i = close;
  }
  name = out;
  return {};
}

}  // namespace

void validate_node_name(const std::string & node_name)
{
  Problem problem;
  if (node_name.empty()) {
    problem = {"node name must not be empty", 0};
  } else if (node_name.size() > kMaxNodeNameLength) {
    problem = {"node name length should not exceed 255", kMaxNodeNameLength - 1};
  } else if (is_digit(node_name[0])) {
    problem = {"node name must not start with a number", 0};
  } else {
    for (std::size_t i = 0; i < node_name.size(); ++i) {
      if (!is_name_char(node_name[i])) {
        problem = {"node name must not contain characters other than alphanumerics or '_'", i};
        break;
      }
    }
  }
  if (problem.message != nullptr) {
    throw rclcpp::exceptions::InvalidNodeNameError(
            node_name.c_str(), problem.message, problem.index);
  }
}

std::string normalize_namespace(const std::string & namespace_)
{
  std::string normalized = namespace_;
  if (normalized.empty()) {
    normalized = "/";
  } else if (normalized[0] != '/') {
    normalized = "/" + normalized;
  }
  const Problem problem = check_absolute_path(normalized, true);
  if (problem.message != nullptr) {
    const std::string message = std::string("namespace ") + problem.message;
    throw rclcpp::exceptions::InvalidNamespaceError(
            namespace_.c_str(), message.c_str(), problem.index);
  }
  return normalized;
}

std::string expand_and_validate(
  const std::string & name, const std::string & node_name,
  const std::string & node_namespace, NameKind kind)
{
  if (name.empty()) {
    throw_invalid(kind, name, {"must not be empty", 0});
  }
  std::string expanded = name;
  Problem problem = substitute(expanded, node_name, node_namespace);
  if (problem.message != nullptr) {
    throw_invalid(kind, name, problem);
  }
  const std::string node_path = fully_qualified_name(node_name, node_namespace);
  if (expanded[0] == '~') {
    if (expanded.size() > 1 && expanded[1] != '/') {
      throw_invalid(kind, name, {"must not have a '~' that is not followed by a '/'", 1});
    }
    expanded = node_path + expanded.substr(1);
  } else if (expanded[0] != '/') {
    expanded = (node_namespace == "/" ? "/" : node_namespace + "/") + expanded;
  }
  problem = check_absolute_path(expanded, false);
  if (problem.message != nullptr) {
    throw_invalid(kind, name, problem);
  }
  return expanded;
}

std::string node_logger_name(const std::string & node_name, const std::string & node_namespace)
{
  if (node_namespace.empty() || node_namespace == "/") {
    return node_name;
  }
  std::string prefix = node_namespace.substr(1);
  for (char & c : prefix) {
    if (c == '/') {
      c = '.';
    }
  }
  return prefix + "." + node_name;
}

std::string fully_qualified_name(const std::string & node_name, const std::string & node_namespace)
{
  if (node_namespace.empty() || node_namespace == "/") {
    return "/" + node_name;
  }
  return node_namespace + "/" + node_name;
}

}  // namespace detail
}  // namespace rclcpp
