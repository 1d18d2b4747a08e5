// Validation and expansion of node, namespace, topic and service names for the
// in-process graph. Real rcl does this in C; the rules are the same.
#ifndef STANDIN_RCLCPP__DETAIL__NAMES_HPP_
#define STANDIN_RCLCPP__DETAIL__NAMES_HPP_

#include <string>

namespace rclcpp
{
namespace detail
{

// Throws InvalidNodeNameError.
void validate_node_name(const std::string & node_name);

// "" becomes "/", "ns" becomes "/ns"; throws InvalidNamespaceError.
std::string normalize_namespace(const std::string & namespace_);

enum class NameKind { Topic, Service };

// Expands a relative, private ("~") or substituted name into a fully qualified
// one and validates it; throws InvalidTopicNameError / InvalidServiceNameError.
std::string expand_and_validate(
  const std::string & name, const std::string & node_name,
  const std::string & node_namespace, NameKind kind);

// Logger name of a node: "a.b.n" for node "n" in "/a/b".
std::string node_logger_name(const std::string & node_name, const std::string & node_namespace);

// "/ns/name", or "/name" in the root namespace.
std::string fully_qualified_name(const std::string & node_name, const std::string & node_namespace);

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DETAIL__NAMES_HPP_
