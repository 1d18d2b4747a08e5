// Stand-in for rclcpp/node_interfaces/node_graph_interface.hpp: the graph
// queries of a node, the per-node ones included. Real rclcpp splits this into
// an interface and an implementation; the stand-in has one concrete class.
#ifndef STANDIN_RCLCPP__NODE_INTERFACES__NODE_GRAPH_INTERFACE_HPP_
#define STANDIN_RCLCPP__NODE_INTERFACES__NODE_GRAPH_INTERFACE_HPP_

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/macros.hpp"

namespace rclcpp
{
namespace node_interfaces
{

class NodeGraphInterface
{
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeGraphInterface)

  NodeGraphInterface() = default;
  NodeGraphInterface(const NodeGraphInterface &) = delete;
  NodeGraphInterface & operator=(const NodeGraphInterface &) = delete;
  virtual ~NodeGraphInterface() = default;

  // Names come back fully qualified, types as "pkg/msg/Name". The per-node
  // queries throw exceptions::RCLError when no such node exists.
  virtual std::map<std::string, std::vector<std::string>>
  get_topic_names_and_types(bool no_demangle = false) const;
  virtual std::map<std::string, std::vector<std::string>> get_service_names_and_types() const;
  virtual std::map<std::string, std::vector<std::string>> get_service_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_) const;
  virtual std::map<std::string, std::vector<std::string>> get_client_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_) const;
  virtual std::map<std::string, std::vector<std::string>> get_publisher_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_, bool no_demangle = false) const;
  virtual std::map<std::string, std::vector<std::string>> get_subscriber_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_, bool no_demangle = false) const;
  virtual std::vector<std::string> get_node_names() const;
  virtual std::vector<std::pair<std::string, std::string>> get_node_names_and_namespaces() const;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__NODE_INTERFACES__NODE_GRAPH_INTERFACE_HPP_
