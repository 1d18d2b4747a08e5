// align_model::FeatureNode as an rclcpp component: a component container
// loads the library and builds the node from the container's NodeOptions.
#include "feature/feature_node.hpp"
#include "rclcpp_components/register_node_macro.hpp"

RCLCPP_COMPONENTS_REGISTER_NODE(align_model::FeatureNode)
