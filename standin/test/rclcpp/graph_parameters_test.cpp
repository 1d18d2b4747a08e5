// Node parameters: declaration, static typing, overrides and their sources,
// run-time changes, descriptors and callbacks.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "graph_fixture.hpp"
#include "rclcpp/rclcpp.hpp"

namespace
{

using graph_test::RosTest;
using rcl_interfaces::msg::ParameterDescriptor;

class ParameterTest : public RosTest {};

std::shared_ptr<rclcpp::Node> node_with(const std::vector<rclcpp::Parameter> & overrides)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides(overrides);
  return std::make_shared<rclcpp::Node>("param_node", options);
}

TEST_F(ParameterTest, TemplateDeclarationReturnsTheStoredType)
{
  auto node = node_with({});
  auto integer = node->declare_parameter("count", 3);
  auto real = node->declare_parameter("range", 2.5f);
  auto text = node->declare_parameter("frame", "laser");
  auto flag = node->declare_parameter("debug", true);
  static_assert(std::is_same<decltype(integer), int64_t>::value, "int is stored as int64_t");
  static_assert(std::is_same<decltype(real), double>::value, "float is stored as double");
  static_assert(std::is_same<decltype(text), std::string>::value, "literal becomes std::string");
  static_assert(std::is_same<decltype(flag), bool>::value, "bool stays bool");
  EXPECT_EQ(integer, 3);
  EXPECT_DOUBLE_EQ(real, 2.5);
  EXPECT_EQ(text, "laser");
  EXPECT_TRUE(flag);
}

TEST_F(ParameterTest, OverridesReplaceDefaultsUnlessIgnored)
{
  auto node = node_with({{"max_range", 4.0}, {"topic", "scan"}, {"unused", 1}});
  EXPECT_DOUBLE_EQ(node->declare_parameter("max_range", 2.0), 4.0);
  EXPECT_EQ(node->declare_parameter("topic", std::string("back_scan")), "scan");
  EXPECT_EQ(
    node->declare_parameter("topic_default", "x", ParameterDescriptor(), true), "x");
  EXPECT_EQ(
    node->declare_parameter("ignored", 5, ParameterDescriptor(), true), 5);
  EXPECT_FALSE(node->has_parameter("unused")) << "overrides are not declared by themselves";
}

TEST_F(ParameterTest, OverrideOfAnotherTypeThrowsWithTheExactMessage)
{
  auto node = node_with({{"max_range", 2}, {"min_points", 5.0}, {"debug", "yes"}});
  try {
    node->declare_parameter("max_range", 2.0);
    FAIL() << "an integer override for a double parameter must throw";
  } catch (const rclcpp::exceptions::InvalidParameterTypeException & error) {
    EXPECT_STREQ(
      error.what(),
      "parameter 'max_range' has invalid type: Wrong parameter type, parameter {max_range} is of "
      "type {double}, setting it to {integer} is not allowed.");
  }
  EXPECT_FALSE(node->has_parameter("max_range"));
  EXPECT_THROW(
    node->declare_parameter("min_points", 5), rclcpp::exceptions::InvalidParameterTypeException);
  EXPECT_THROW(
    node->declare_parameter("debug", false), rclcpp::exceptions::InvalidParameterTypeException);
}

TEST_F(ParameterTest, DeclarationErrors)
{
  auto node = node_with({});
  node->declare_parameter("once", 1);
  try {
    node->declare_parameter("once", 2);
    FAIL() << "declaring twice must throw";
  } catch (const rclcpp::exceptions::ParameterAlreadyDeclaredException & error) {
    EXPECT_STREQ(error.what(), "parameter 'once' has already been declared");
  }
  EXPECT_THROW(
    node->declare_parameter("use_sim_time", false),
    rclcpp::exceptions::ParameterAlreadyDeclaredException);
  EXPECT_THROW(
    node->declare_parameter("", 1), rclcpp::exceptions::InvalidParametersException);
  EXPECT_THROW(
    node->declare_parameter("typeless", rclcpp::PARAMETER_NOT_SET), std::invalid_argument);
  EXPECT_THROW(
    node->declare_parameter<int64_t>("needs_override"),
    rclcpp::exceptions::UninitializedStaticallyTypedParameterException);
}

TEST_F(ParameterTest, DeclaringByTypeLeavesTheParameterUnsetWithoutOverride)
{
  auto node = node_with({{"given", 7}});
  EXPECT_EQ(node->declare_parameter<int64_t>("given"), 7);
  const auto & value = node->declare_parameter("open", rclcpp::PARAMETER_DOUBLE);
  EXPECT_EQ(value.get_type(), rclcpp::PARAMETER_NOT_SET);
  EXPECT_TRUE(node->has_parameter("open"));
  EXPECT_THROW(node->get_parameter("open"), rclcpp::exceptions::ParameterUninitializedException);
  double out = -1.0;
  EXPECT_FALSE(node->get_parameter("open", out));
  EXPECT_DOUBLE_EQ(out, -1.0);
  EXPECT_TRUE(node->set_parameter({"open", 1.5}).successful);
  EXPECT_DOUBLE_EQ(node->get_parameter("open").as_double(), 1.5);
}

TEST_F(ParameterTest, DescriptorRangesAndReadOnly)
{
  auto node = node_with({{"limited", 20}});
  ParameterDescriptor range;
  range.integer_range.resize(1);
  range.integer_range[0].from_value = 0;
  range.integer_range[0].to_value = 10;
  range.integer_range[0].step = 2;
  EXPECT_THROW(
    node->declare_parameter("limited", 4, range),
    rclcpp::exceptions::InvalidParameterValueException);
  EXPECT_EQ(node->declare_parameter("stepped", 4, range), 4);
  EXPECT_FALSE(node->set_parameter({"stepped", 5}).successful) << "off the step";
  EXPECT_FALSE(node->set_parameter({"stepped", 12}).successful) << "beyond the range";
  EXPECT_TRUE(node->set_parameter({"stepped", 10}).successful);

  ParameterDescriptor fixed;
  fixed.read_only = true;
  node->declare_parameter("fixed", 1.0, fixed);
  const auto result = node->set_parameter({"fixed", 2.0});
  EXPECT_FALSE(result.successful);
  EXPECT_DOUBLE_EQ(node->get_parameter("fixed").as_double(), 1.0);
  EXPECT_TRUE(node->describe_parameter("fixed").read_only);
  EXPECT_EQ(node->describe_parameter("fixed").type, rclcpp::PARAMETER_DOUBLE);
}

TEST_F(ParameterTest, RunTimeSetRefusesAnotherTypeAndKeepsTheValue)
{
  auto node = node_with({});
  node->declare_parameter("target_angle", 0.5);
  const auto refused = node->set_parameter({"target_angle", 1});
  EXPECT_FALSE(refused.successful);
  EXPECT_EQ(
    refused.reason,
    "Wrong parameter type, parameter {target_angle} is of type {double}, setting it to "
    "{integer} is not allowed.");
  EXPECT_DOUBLE_EQ(node->get_parameter("target_angle").as_double(), 0.5);

  const auto accepted = node->set_parameter({"target_angle", 0.75});
  EXPECT_TRUE(accepted.successful);
  EXPECT_TRUE(accepted.reason.empty());
  EXPECT_DOUBLE_EQ(node->get_parameter("target_angle").as_double(), 0.75);

  EXPECT_THROW(
    node->set_parameter({"never_declared", 1}), rclcpp::exceptions::ParameterNotDeclaredException);
}

TEST_F(ParameterTest, SetParametersIsPerParameterAndAtomicIsAllOrNothing)
{
  auto node = node_with({});
  node->declare_parameter("a", 1);
  node->declare_parameter("b", 2);
  const auto results = node->set_parameters({{"a", 10}, {"b", "wrong"}});
  ASSERT_EQ(results.size(), 2u);
  EXPECT_TRUE(results[0].successful);
  EXPECT_FALSE(results[1].successful);
  EXPECT_EQ(node->get_parameter("a").as_int(), 10);

  EXPECT_FALSE(node->set_parameters_atomically({{"a", 20}, {"b", "wrong"}}).successful);
  EXPECT_EQ(node->get_parameter("a").as_int(), 10) << "nothing changes when one fails";
}

TEST_F(ParameterTest, ReadingParameters)
{
  auto node = node_with({});
  node->declare_parameter("count", 42);
  node->declare_parameter("name", "align");

  EXPECT_THROW(node->get_parameter("missing"), rclcpp::exceptions::ParameterNotDeclaredException);
  rclcpp::Parameter parameter;
  EXPECT_FALSE(node->get_parameter("missing", parameter));
  EXPECT_TRUE(node->get_parameter("count", parameter));
  EXPECT_EQ(parameter.as_int(), 42);

  int narrow = 0;
  EXPECT_TRUE(node->get_parameter("count", narrow));
  EXPECT_EQ(narrow, 42);
  double wrong = 0.0;
  EXPECT_THROW(
    node->get_parameter("count", wrong), rclcpp::exceptions::InvalidParameterTypeException);

  EXPECT_EQ(node->get_parameter_or("missing", std::string("fallback")), "fallback");
  std::string name;
  EXPECT_TRUE(node->get_parameter_or("name", name, std::string("fallback")));
  EXPECT_EQ(name, "align");

  const auto both = node->get_parameters({"count", "name"});
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[1].as_string(), "align");
}

TEST_F(ParameterTest, UndeclareOnlyDynamicParameters)
{
  auto node = node_with({});
  node->declare_parameter("static", 1);
  EXPECT_THROW(
    node->undeclare_parameter("static"), rclcpp::exceptions::InvalidParameterTypeException);
  ParameterDescriptor dynamic;
  dynamic.dynamic_typing = true;
  node->declare_parameter("dynamic", rclcpp::ParameterValue(1), dynamic);
  EXPECT_TRUE(node->set_parameter({"dynamic", "now a string"}).successful);
  node->undeclare_parameter("dynamic");
  EXPECT_FALSE(node->has_parameter("dynamic"));
  EXPECT_THROW(
    node->undeclare_parameter("dynamic"), rclcpp::exceptions::ParameterNotDeclaredException);
}

TEST_F(ParameterTest, SetCallbacksCanRejectAndAreRemovable)
{
  auto node = node_with({});
  node->declare_parameter("gain", 1.0);
  std::vector<std::string> seen;
  auto handle = node->add_on_set_parameters_callback(
    [&seen](const std::vector<rclcpp::Parameter> & parameters) {
      rcl_interfaces::msg::SetParametersResult result;
      result.successful = parameters.front().as_double() >= 0.0;
      result.reason = result.successful ? "" : "gain must not be negative";
      seen.push_back(parameters.front().get_name());
      return result;
    });
  const auto refused = node->set_parameter({"gain", -1.0});
  EXPECT_FALSE(refused.successful);
  EXPECT_EQ(refused.reason, "gain must not be negative");
  EXPECT_DOUBLE_EQ(node->get_parameter("gain").as_double(), 1.0);
  EXPECT_THROW(
    node->declare_parameter("other_gain", -2.0),
    rclcpp::exceptions::InvalidParameterValueException);

  node->remove_on_set_parameters_callback(handle.get());
  EXPECT_TRUE(node->set_parameter({"gain", -1.0}).successful);
  EXPECT_EQ(seen, (std::vector<std::string>{"gain", "other_gain"}));
  EXPECT_THROW(node->remove_on_set_parameters_callback(handle.get()), std::runtime_error);
}

TEST_F(ParameterTest, UndeclaredAndAutomaticallyDeclaredParameters)
{
  rclcpp::NodeOptions options;
  options.allow_undeclared_parameters(true)
  .automatically_declare_parameters_from_overrides(true)
  .append_parameter_override("from_override", 3)
  .append_parameter_override("use_sim_time", false);
  auto node = std::make_shared<rclcpp::Node>("loose_node", options);
  EXPECT_TRUE(node->has_parameter("from_override"));
  EXPECT_EQ(node->get_parameter("from_override").as_int(), 3);
  EXPECT_TRUE(node->describe_parameter("from_override").dynamic_typing);
  EXPECT_EQ(node->get_parameter("nothing").get_type(), rclcpp::PARAMETER_NOT_SET);
  EXPECT_TRUE(node->set_parameter({"brand_new", 1.0}).successful);
  EXPECT_TRUE(node->has_parameter("brand_new"));
}

TEST_F(ParameterTest, EveryNodeHasUseSimTimeFalse)
{
  auto node = node_with({});
  ASSERT_TRUE(node->has_parameter("use_sim_time"));
  EXPECT_FALSE(node->get_parameter("use_sim_time").as_bool());
  EXPECT_FALSE(node->set_parameter({"use_sim_time", 1}).successful);
}

TEST_F(ParameterTest, OverridePrecedenceGlobalThenNodeArgumentsThenOptions)
{
  restart({"--ros-args", "-p", "a:=1", "-p", "b:=1", "-p", "c:=1", "-p", "param_node:d:=4"});
  rclcpp::NodeOptions options;
  options.arguments({"--ros-args", "-p", "b:=2", "-p", "c:=2"});
  options.append_parameter_override("c", 3);
  auto node = std::make_shared<rclcpp::Node>("param_node", options);
  EXPECT_EQ(node->declare_parameter("a", 0), 1) << "global -p reaches the node";
  EXPECT_EQ(node->declare_parameter("b", 0), 2) << "node arguments beat global ones";
  EXPECT_EQ(node->declare_parameter("c", 0), 3) << "parameter_overrides beat both";
  EXPECT_EQ(node->declare_parameter("d", 0), 4) << "a node-prefixed override";

  auto other = std::make_shared<rclcpp::Node>("other_node");
  EXPECT_EQ(other->declare_parameter("d", 0), 0) << "prefixed for another node";
  auto isolated = std::make_shared<rclcpp::Node>(
    "isolated", rclcpp::NodeOptions().use_global_arguments(false));
  EXPECT_EQ(isolated->declare_parameter("a", 0), 0);
}

TEST_F(ParameterTest, GlobalOverrideOfTheWrongTypeFailsTheDeclaration)
{
  restart({"--ros-args", "-p", "max_range:=2"});
  auto node = std::make_shared<rclcpp::Node>("align_node");
  EXPECT_THROW(
    node->declare_parameter("max_range", 2.0), rclcpp::exceptions::InvalidParameterTypeException);
}

TEST_F(ParameterTest, DeclareParametersUsesTheNamespacePrefix)
{
  auto node = node_with({{"detector.threshold", 7}});
  const auto values = node->declare_parameters<int64_t>(
    "detector", {{"threshold", 1}, {"window", 2}});
  EXPECT_EQ(values, (std::vector<int64_t>{7, 2}));
  EXPECT_TRUE(node->has_parameter("detector.window"));
}

}  // namespace
