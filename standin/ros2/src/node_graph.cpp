// NodeGraphInterface: every query answered by the process's graph.
#include "rclcpp/node_interfaces/node_graph_interface.hpp"

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/names.hpp"

namespace rclcpp
{
namespace node_interfaces
{

using NamesAndTypes = std::map<std::string, std::vector<std::string>>;

NamesAndTypes NodeGraphInterface::get_topic_names_and_types(bool) const
{
  return detail::Graph::instance().topic_names_and_types();
}

NamesAndTypes NodeGraphInterface::get_service_names_and_types() const
{
  return detail::Graph::instance().service_names_and_types();
}

NamesAndTypes NodeGraphInterface::get_service_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_) const
{
  return detail::Graph::instance().service_names_and_types_by_node(
    node_name, detail::normalize_namespace(namespace_));
}

NamesAndTypes NodeGraphInterface::get_client_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_) const
{
  return detail::Graph::instance().client_names_and_types_by_node(
    node_name, detail::normalize_namespace(namespace_));
}

NamesAndTypes NodeGraphInterface::get_publisher_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_, bool) const
{
  return detail::Graph::instance().publisher_names_and_types_by_node(
    node_name, detail::normalize_namespace(namespace_));
}

NamesAndTypes NodeGraphInterface::get_subscriber_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_, bool) const
{
  return detail::Graph::instance().subscriber_names_and_types_by_node(
    node_name, detail::normalize_namespace(namespace_));
}

std::vector<std::string> NodeGraphInterface::get_node_names() const
{
  return detail::Graph::instance().node_names();
}

std::vector<std::pair<std::string, std::string>>
NodeGraphInterface::get_node_names_and_namespaces() const
{
  return detail::Graph::instance().node_names_and_namespaces();
}

}  // namespace node_interfaces
}  // namespace rclcpp
