// Every class name that CMake registers with rclcpp_components_register_nodes
// has a factory registered by the macro under the key a container builds from
// that name: a misspelled name or a missing macro fails here. (On a real
// installation the container does this lookup through class_loader.)
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "rclcpp_components/detail/factory_registry.hpp"

namespace
{

std::vector<std::string> registered_names()
{
  std::vector<std::string> names;
  std::stringstream list(ALIGN_MODEL_COMPONENTS);
  for (std::string name; std::getline(list, name, ',');) {
    names.push_back(name);
  }
  return names;
}

TEST(ComponentRegistration, EveryNameCMakeRegistersHasAFactoryThatBuildsThatNode)
{
  if (!rclcpp::ok()) {
    rclcpp::init(0, nullptr);
  }
  const std::vector<std::string> names = registered_names();
  ASSERT_EQ(names.size(), 2u);
  const std::vector<std::string> node_names = {"/align_feature_node", "/align_node"};
  for (std::size_t i = 0; i < names.size(); ++i) {
    auto factory = rclcpp_components::detail::find_node_factory(
      "rclcpp_components::NodeFactoryTemplate<" + names[i] + ">");
    ASSERT_NE(factory, nullptr) << names[i];
    auto wrapper = factory->create_node_instance(rclcpp::NodeOptions());
    EXPECT_EQ(wrapper.get_node_base_interface()->get_fully_qualified_name(), node_names[i]) << names[i];
  }
  EXPECT_EQ(rclcpp_components::detail::registered_node_factory_keys().size(), names.size());
}

}  // namespace
