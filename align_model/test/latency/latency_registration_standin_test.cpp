// The relay and the probe are registered as components under the names
// CMake gives rclcpp_components_register_nodes (the stand-in's registry; a
// real installation looks them up through class_loader).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "rclcpp_components/detail/factory_registry.hpp"
#include "support/node_harness.hpp"

namespace
{

TEST(ProbeComponent, EveryNameCMakeRegistersHasAFactory)
{
  align_test::init_ros_for_test();
  std::stringstream list(ALIGN_LATENCY_COMPONENTS);
  std::size_t names = 0;
  for (std::string name; std::getline(list, name, ','); ++names) {
    EXPECT_NE(
      rclcpp_components::detail::find_node_factory("rclcpp_components::NodeFactoryTemplate<" + name + ">"), nullptr)
      << name;
  }
  EXPECT_EQ(names, 2u);
}

}  // namespace
