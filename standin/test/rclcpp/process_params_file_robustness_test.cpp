// Parameter files found by fuzzing the parser (scripts/fuzz params_yaml);
// each case failed before its fix.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/exceptions.hpp"

namespace
{

using rclcpp::detail::RosArguments;
using rclcpp::exceptions::RCLInvalidROSArgsError;

class ParamsFile
{
public:
  explicit ParamsFile(const std::string & content)
  : path_("/tmp/standin_params_robustness_" + std::to_string(::getpid()) + ".yaml")
  {
    std::ofstream(path_) << content;
  }
  ~ParamsFile() {std::remove(path_.c_str());}
  const std::string & path() const {return path_;}

private:
  std::string path_;
};

// Refused with a ROS argument error that names the file and aliases.
void expect_alias_refused(const std::string & content)
{
  const ParamsFile file(content);
  try {
    RosArguments::parse({"--ros-args", "--params-file", file.path()});
    ADD_FAILURE() << "accepted:\n" << content;
  } catch (const RCLInvalidROSArgsError & error) {
    const std::string what = error.what();
    EXPECT_NE(what.find(file.path()), std::string::npos) << what;
    EXPECT_NE(what.find("aliases are not supported"), std::string::npos) << what;
  }
}

}  // namespace

// Each level of aliases doubled the parameters: forty levels in about 1 kB
// ran for ever. Aliases are refused, as ROS 2's own parser does; here with
// twelve levels, which the old parser still expanded (into 8192 parameters).
TEST(ParametersFileRobustness, NestedAliasesAreRefusedNotExpanded)
{
  std::string content = "/**:\n  ros__parameters:\n    l0: &l0 {a: 1, b: 2}\n";
  for (int level = 1; level <= 12; ++level) {
    const std::string previous = "*l" + std::to_string(level - 1);
    content += "    l" + std::to_string(level) + ": &l" + std::to_string(level) + " {a: " + previous +
      ", b: " + previous + "}\n";
  }
  expect_alias_refused(content);
}

TEST(ParametersFileRobustness, SingleAliasIsRefusedAndAnchorsAlonePass)
{
  expect_alias_refused("node:\n  ros__parameters:\n    a: &value 1.5\n    b: *value\n");

  const ParamsFile anchors_only("node:\n  ros__parameters:\n    a: &value 1.5\n    b: 2\n");
  const auto overrides =
    RosArguments::parse({"--ros-args", "--params-file", anchors_only.path()}).parameter_overrides("/node");
  EXPECT_EQ(overrides.at("a").get<double>(), 1.5);
  EXPECT_EQ(overrides.at("b").get<std::int64_t>(), 2);
}
