// Typing rules and exceptions of ParameterValue and Parameter.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"

namespace
{

TEST(ParameterValue, StoresIntAsInt64AndFloatAsDouble)
{
  const rclcpp::ParameterValue from_int(5);
  EXPECT_EQ(from_int.get_type(), rclcpp::PARAMETER_INTEGER);
  EXPECT_EQ(from_int.get<int64_t>(), 5);
  EXPECT_EQ(from_int.get<int>(), 5);  // any integral type reads the int64

  const rclcpp::ParameterValue from_float(1.5f);
  EXPECT_EQ(from_float.get_type(), rclcpp::PARAMETER_DOUBLE);
  EXPECT_DOUBLE_EQ(from_float.get<float>(), 1.5);

  const rclcpp::ParameterValue from_literal("text");
  EXPECT_EQ(from_literal.get_type(), rclcpp::PARAMETER_STRING);
  EXPECT_EQ(from_literal.get<std::string>(), "text");

  const rclcpp::ParameterValue from_ints(std::vector<int>{1, 2});
  EXPECT_EQ(from_ints.get_type(), rclcpp::PARAMETER_INTEGER_ARRAY);
  EXPECT_EQ(from_ints.get<std::vector<int64_t>>(), (std::vector<int64_t>{1, 2}));

  EXPECT_EQ(rclcpp::ParameterValue().get_type(), rclcpp::PARAMETER_NOT_SET);
}

TEST(ParameterValue, WrongTypeThrowsWithBothTypeNames)
{
  const rclcpp::ParameterValue value(2);
  try {
    (void)value.get<double>();
    FAIL() << "reading an integer as double must throw";
  } catch (const rclcpp::ParameterTypeException & error) {
    EXPECT_STREQ(error.what(), "expected [double] got [integer]");
  }
  EXPECT_THROW((void)value.get<bool>(), rclcpp::ParameterTypeException);
  EXPECT_THROW((void)value.get<rclcpp::PARAMETER_STRING>(), rclcpp::ParameterTypeException);
  EXPECT_THROW((void)rclcpp::ParameterValue().get<int>(), rclcpp::ParameterTypeException);
}

TEST(ParameterValue, EqualityComparesTypeAndValue)
{
  EXPECT_EQ(rclcpp::ParameterValue(2), rclcpp::ParameterValue(int64_t{2}));
  EXPECT_NE(rclcpp::ParameterValue(2), rclcpp::ParameterValue(2.0));
  EXPECT_NE(rclcpp::ParameterValue(true), rclcpp::ParameterValue(false));
}

TEST(ParameterValue, TypeNamesAndTextForms)
{
  EXPECT_EQ(rclcpp::to_string(rclcpp::PARAMETER_NOT_SET), "not set");
  EXPECT_EQ(rclcpp::to_string(rclcpp::PARAMETER_STRING_ARRAY), "string_array");
  EXPECT_EQ(rclcpp::to_string(rclcpp::ParameterValue(true)), "true");
  EXPECT_EQ(rclcpp::to_string(rclcpp::ParameterValue(std::vector<int64_t>{1, 2})), "[1, 2]");
}

TEST(Parameter, BraceListsBuildTypedParameters)
{
  const std::vector<rclcpp::Parameter> parameters{
    {"max_range", 2.0}, {"debug", true}, {"count", 3}, {"frame", "laser"}};
  ASSERT_EQ(parameters.size(), 4u);
  EXPECT_EQ(parameters[0].get_type(), rclcpp::PARAMETER_DOUBLE);
  EXPECT_DOUBLE_EQ(parameters[0].as_double(), 2.0);
  EXPECT_TRUE(parameters[1].as_bool());
  EXPECT_EQ(parameters[2].as_int(), 3);
  EXPECT_EQ(parameters[3].as_string(), "laser");
  EXPECT_EQ(parameters[3].get_type_name(), "string");
  EXPECT_EQ(parameters[2].value_to_string(), "3");
}

TEST(Parameter, AsAccessorsThrowParameterTypeException)
{
  const rclcpp::Parameter parameter("max_range", 2);
  EXPECT_THROW((void)parameter.as_double(), rclcpp::ParameterTypeException);
  EXPECT_THROW((void)parameter.as_string_array(), rclcpp::ParameterTypeException);
  EXPECT_THROW((void)rclcpp::Parameter("unset").as_int(), rclcpp::ParameterTypeException);
}

TEST(Parameter, GetValueByCppTypeNamesTheParameter)
{
  const rclcpp::Parameter parameter("max_range", 2);
  EXPECT_EQ(parameter.get_value<int>(), 2);
  try {
    (void)parameter.get_value<double>();
    FAIL() << "reading an integer as double must throw";
  } catch (const rclcpp::exceptions::InvalidParameterTypeException & error) {
    EXPECT_STREQ(
      error.what(), "parameter 'max_range' has invalid type: expected [double] got [integer]");
  }
  // By ParameterType the plain type exception passes through.
  EXPECT_THROW(
    (void)parameter.get_value<rclcpp::PARAMETER_DOUBLE>(), rclcpp::ParameterTypeException);
  EXPECT_EQ(parameter.get_value<rclcpp::ParameterValue>(), rclcpp::ParameterValue(2));
  EXPECT_EQ(parameter.get_value<rclcpp::Parameter>(), parameter);
}

TEST(Parameter, MessageRoundTrip)
{
  const rclcpp::Parameter original("ranges", std::vector<double>{0.5, 1.5});
  const auto message = original.to_parameter_msg();
  EXPECT_EQ(message.name, "ranges");
  EXPECT_EQ(message.value.type, rclcpp::PARAMETER_DOUBLE_ARRAY);
  EXPECT_EQ(rclcpp::Parameter::from_parameter_msg(message), original);

  rcl_interfaces::msg::ParameterValue bad;
  bad.type = 42;
  EXPECT_THROW(rclcpp::ParameterValue{bad}, std::runtime_error);
}

TEST(Exceptions, MessagesCarryTheParameterName)
{
  EXPECT_STREQ(
    rclcpp::exceptions::ParameterUninitializedException("gain").what(),
    "parameter 'gain' is not initialized");
  EXPECT_STREQ(
    rclcpp::exceptions::ParameterNotDeclaredException("gain").what(), "gain");
  const rclcpp::exceptions::UnknownROSArgsError unknown({"--bogus", "x"});
  EXPECT_EQ(unknown.unknown_ros_args, (std::vector<std::string>{"--bogus", "x"}));
  EXPECT_NE(std::string(unknown.what()).find("--bogus"), std::string::npos);
  const rclcpp::exceptions::InvalidTopicNameError invalid("/a//b", "repeated '/'", 3);
  EXPECT_EQ(invalid.invalid_index, 3u);
  EXPECT_EQ(invalid.name, "/a//b");
  EXPECT_THROW(
    rclcpp::exceptions::throw_from_rcl_error(
      RCL_RET_INVALID_ROS_ARGS, "bad: "),
    rclcpp::exceptions::RCLInvalidROSArgsError);
}

}  // namespace
