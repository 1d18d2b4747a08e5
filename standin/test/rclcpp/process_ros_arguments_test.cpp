// The --ros-args command line: value typing, parameter files, precedence,
// remapping, log levels and the errors for bad arguments.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "rcutils/logging.h"

namespace
{

using rclcpp::detail::RosArguments;
using rclcpp::detail::parse_parameter_value;

// Each test runs in a process of its own, often beside the other tests of its
// fixture: the file names carry the process ID so that no test reads a file
// another one is rewriting.
std::string write_file(const std::string & name, const std::string & content)
{
  const std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "_" + name;
  std::ofstream(path) << content;
  return path;
}

rclcpp::ParameterValue only_override(const std::vector<std::string> & args, const std::string & name)
{
  const auto overrides = RosArguments::parse(args).parameter_overrides("/node");
  const auto found = overrides.find(name);
  return found == overrides.end() ? rclcpp::ParameterValue() : found->second;
}

TEST(ParameterValueTyping, BoolSpellings)
{
  for (const char * text : {"true", "True", "TRUE", "yes", "Yes", "y", "on", "ON"}) {
    const auto value = parse_parameter_value(text);
    ASSERT_EQ(value.get_type(), rclcpp::PARAMETER_BOOL) << text;
    EXPECT_TRUE(value.get<bool>()) << text;
  }
  for (const char * text : {"false", "False", "no", "NO", "n", "off", "Off"}) {
    const auto value = parse_parameter_value(text);
    ASSERT_EQ(value.get_type(), rclcpp::PARAMETER_BOOL) << text;
    EXPECT_FALSE(value.get<bool>()) << text;
  }
  // Not a listed spelling: stays text.
  EXPECT_EQ(parse_parameter_value("tRuE").get_type(), rclcpp::PARAMETER_STRING);
}

TEST(ParameterValueTyping, IntegersIncludingHexAndOctal)
{
  EXPECT_EQ(parse_parameter_value("2").get<int64_t>(), 2);
  EXPECT_EQ(parse_parameter_value("-3").get<int64_t>(), -3);
  EXPECT_EQ(parse_parameter_value("0x10").get<int64_t>(), 16);
  EXPECT_EQ(parse_parameter_value("010").get<int64_t>(), 8);
  // Too large for int64: strtod still reads it whole, so it is a double.
  EXPECT_EQ(parse_parameter_value("99999999999999999999").get_type(), rclcpp::PARAMETER_DOUBLE);
}

TEST(ParameterValueTyping, DoublesWithDotExponentAndInfinity)
{
  EXPECT_DOUBLE_EQ(parse_parameter_value("2.0").get<double>(), 2.0);
  EXPECT_DOUBLE_EQ(parse_parameter_value("2.").get<double>(), 2.0);
  EXPECT_DOUBLE_EQ(parse_parameter_value("1e-3").get<double>(), 0.001);
  EXPECT_TRUE(std::isinf(parse_parameter_value(".inf").get<double>()));
  EXPECT_LT(parse_parameter_value("-.inf").get<double>(), 0.0);
  EXPECT_TRUE(std::isnan(parse_parameter_value(".nan").get<double>()));
}

TEST(ParameterValueTyping, QuotedTextAndArrays)
{
  const auto quoted = parse_parameter_value("'123'");
  ASSERT_EQ(quoted.get_type(), rclcpp::PARAMETER_STRING);
  EXPECT_EQ(quoted.get<std::string>(), "123");
  EXPECT_EQ(parse_parameter_value("\"true\"").get<std::string>(), "true");
  EXPECT_EQ(parse_parameter_value("back_scan").get<std::string>(), "back_scan");

  EXPECT_EQ(parse_parameter_value("[1, 2, 3]").get<std::vector<int64_t>>(),
    (std::vector<int64_t>{1, 2, 3}));
  EXPECT_EQ(parse_parameter_value("[0.5, 1.0]").get<std::vector<double>>(),
    (std::vector<double>{0.5, 1.0}));
  EXPECT_EQ(parse_parameter_value("[a, 'b']").get<std::vector<std::string>>(),
    (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(parse_parameter_value("[true, off]").get<std::vector<bool>>(),
    (std::vector<bool>{true, false}));
  // No promotion between element types.
  EXPECT_THROW(parse_parameter_value("[1, 2.5]"), rclcpp::exceptions::RCLInvalidROSArgsError);
  EXPECT_THROW(parse_parameter_value("[[1], [2]]"), rclcpp::exceptions::RCLInvalidROSArgsError);
}

TEST(CommandLine, OnlyRosArgsSectionsAreRead)
{
  const auto args = RosArguments::parse(
    {"prog", "-p", "ignored:=1", "--ros-args", "-p", "a:=1", "--", "-p", "also_ignored:=2",
      "--ros-args", "--param", "b:=two"});
  const auto overrides = args.parameter_overrides("/any/node");
  ASSERT_EQ(overrides.size(), 2u);
  EXPECT_EQ(overrides.at("a").get<int64_t>(), 1);
  EXPECT_EQ(overrides.at("b").get<std::string>(), "two");
}

TEST(CommandLine, LaterValueForTheSameNameReplacesTheEarlier)
{
  const auto args = RosArguments::parse(
    {"--ros-args", "-p", "mode:=1", "--ros-args", "-p", "mode:=fast", "--", "--ros-args",
      "-p", "mode:='2'"});
  EXPECT_EQ(args.parameter_overrides("/n").at("mode").get<std::string>(), "2");
}

TEST(CommandLine, IntegerOverrideStaysInteger)
{
  EXPECT_EQ(only_override({"--ros-args", "-p", "max_range:=2"}, "max_range").get_type(),
    rclcpp::PARAMETER_INTEGER);
  EXPECT_EQ(only_override({"--ros-args", "-p", "max_range:=2.0"}, "max_range").get_type(),
    rclcpp::PARAMETER_DOUBLE);
  EXPECT_EQ(only_override({"--ros-args", "-p", "url:=http://host:80"}, "url").get<std::string>(),
    "http://host:80");
}

TEST(CommandLine, NodePrefixedParametersApplyToThatNodeOnly)
{
  const auto args = RosArguments::parse(
    {"--ros-args", "-p", "align_node:gain:=3", "-p", "/ns/other:gain:=4"});
  EXPECT_EQ(args.parameter_overrides("/align_node").at("gain").get<int64_t>(), 3);
  EXPECT_EQ(args.parameter_overrides("/ns/other").at("gain").get<int64_t>(), 4);
  EXPECT_TRUE(args.parameter_overrides("/ns/align_node").empty());
  EXPECT_TRUE(args.parameter_overrides("/somebody").empty());
}

TEST(CommandLine, UnknownFlagsAreListed)
{
  try {
    RosArguments::parse({"prog", "--ros-args", "--bogus", "-p", "a:=1", "stray"});
    FAIL() << "unknown ROS arguments must throw";
  } catch (const rclcpp::exceptions::UnknownROSArgsError & error) {
    EXPECT_EQ(error.unknown_ros_args, (std::vector<std::string>{"--bogus", "stray"}));
  }
  // The same words outside a section belong to the program.
  EXPECT_NO_THROW(RosArguments::parse({"prog", "--bogus", "stray"}));
}

TEST(CommandLine, MissingOrMalformedValuesAreInvalid)
{
  using rclcpp::exceptions::RCLInvalidROSArgsError;
  const std::vector<std::vector<std::string>> bad_lines{
    {"--ros-args", "-p"},
    {"--ros-args", "-p", "no_assignment"},
    {"--ros-args", "-p", ":=3"},
    {"--ros-args", "-p", "name:="},
    {"--ros-args", "-r", "from_only"},
    {"--ros-args", "-r", "a:="},
    {"--ros-args", "-r", "__ns:=relative"},
    {"--ros-args", "--log-level", "chatty"},
    {"--ros-args", "--log-level", "node:=loud"},
    {"--ros-args", "--log-level"},
    {"--ros-args", "--params-file"},
    {"--ros-args", "--params-file", "/nonexistent/params.yaml"},
  };
  for (const auto & line : bad_lines) {
    EXPECT_THROW(RosArguments::parse(line), RCLInvalidROSArgsError) << line.back();
  }
}

TEST(CommandLine, LoggingFlagsAndEnclaveAreAccepted)
{
  const auto args = RosArguments::parse(
    {"--ros-args", "--disable-stdout-logs", "--enable-rosout-logs", "-e", "/enclave",
      "--log-config-file", "log.cfg", "--disable-external-lib-logs", "--enclave", "/robot/node"});
  EXPECT_TRUE(args.empty()) << "nothing that touches parameters, names or log levels";
  EXPECT_EQ(args.enclave(), "/robot/node") << "the last enclave wins";
}

TEST(CommandLine, LogLevelsGlobalAndPerLogger)
{
  const auto args = RosArguments::parse(
    {"--ros-args", "--log-level", "DEBUG", "--log-level", "align_node:=Warn"});
  const std::vector<std::pair<std::string, int>> expected{
    {"", RCUTILS_LOG_SEVERITY_DEBUG}, {"align_node", RCUTILS_LOG_SEVERITY_WARN}};
  EXPECT_EQ(args.log_levels(), expected);
}

TEST(Remapping, TopicRulesMatchExpandedNames)
{
  const auto args = RosArguments::parse(
    {"--ros-args", "-r", "back_scan:=scan", "-r", "/docking_pose:=/dock/pose",
      "-r", "align_node:align_enable:=enable", "-r", "~/debug:=~/verbose"});
  EXPECT_EQ(args.remap_name("align_feature_node", "/back_scan"), "/scan");
  EXPECT_EQ(args.remap_name("align_feature_node", "/robot/back_scan"), "/robot/scan");
  EXPECT_EQ(args.remap_name("any", "/docking_pose"), "/dock/pose");
  EXPECT_EQ(args.remap_name("any", "/robot/docking_pose"), "/robot/docking_pose");
  // Node-prefixed rules only apply to the named node.
  EXPECT_EQ(args.remap_name("align_node", "/align_enable"), "/enable");
  EXPECT_EQ(args.remap_name("align_feature_node", "/align_enable"), "/align_enable");
  EXPECT_EQ(args.remap_name("n", "/ns/n/debug"), "/ns/n/verbose");
  EXPECT_EQ(args.remap_name("n", "/unrelated"), "/unrelated");
}

TEST(Remapping, NamespaceAwareFormMatchesExactly)
{
  const auto args = RosArguments::parse(
    {"--ros-args", "-r", "b:=c", "-r", "~/debug:=verbose", "-r", "/abs:=/moved"});
  EXPECT_EQ(args.remap_name("n", "/x", "/x/b"), "/x/c");
  EXPECT_EQ(args.remap_name("n", "/x", "/x/y/b"), "/x/y/b");
  EXPECT_EQ(args.remap_name("n", "/", "/b"), "/c");
  EXPECT_EQ(args.remap_name("n", "/x", "/x/n/debug"), "/x/verbose");
  EXPECT_EQ(args.remap_name("n", "/x", "/abs"), "/moved");
}

TEST(Remapping, FirstMatchingRuleWins)
{
  const auto args = RosArguments::parse(
    {"--ros-args", "-r", "scan:=first", "-r", "scan:=second"});
  EXPECT_EQ(args.remap_name("n", "/scan"), "/first");
}

TEST(Remapping, NodeNameAndNamespace)
{
  const auto args = RosArguments::parse(
    {"--ros-args", "-r", "align_node:__node:=renamed", "-r", "__ns:=/robot"});
  EXPECT_EQ(args.remapped_node_name("align_node"), std::optional<std::string>("renamed"));
  EXPECT_EQ(args.remapped_node_name("other"), std::nullopt);
  EXPECT_EQ(args.remapped_namespace("other"), std::optional<std::string>("/robot"));
  // The special rules never rename topics.
  EXPECT_EQ(args.remap_name("align_node", "/__node"), "/__node");
}

TEST(NodePatterns, WildcardsMatchSegments)
{
  using rclcpp::detail::node_pattern_matches;
  EXPECT_TRUE(node_pattern_matches("/**", "/a/b/node"));
  EXPECT_TRUE(node_pattern_matches("/**", "/node"));
  EXPECT_TRUE(node_pattern_matches("node", "/node"));
  EXPECT_FALSE(node_pattern_matches("node", "/ns/node"));
  EXPECT_TRUE(node_pattern_matches("/*/node", "/ns/node"));
  EXPECT_FALSE(node_pattern_matches("/*/node", "/node"));
  EXPECT_FALSE(node_pattern_matches("/*/node", "/a/b/node"));
  EXPECT_TRUE(node_pattern_matches("/**/node", "/a/b/node"));
  EXPECT_TRUE(node_pattern_matches("/ns/*", "/ns/x"));
}

class ParametersFile : public ::testing::Test
{
protected:
  std::string file_ = write_file(
    "process_params.yaml",
    "align_node:\n"
    "  ros__parameters:\n"
    "    scan_topic: back_scan\n"
    "    max_range: 2.0\n"
    "    min_points_per_line: 5\n"
    "    debug: true\n"
    "    frame: '123'\n"
    "    ranges: [0.5, 1.5]\n"
    "    detector:\n"
    "      threshold: 0.01\n"
    "      limits:\n"
    "        low: 0x10\n"
    "/robot/align_node:\n"
    "  ros__parameters:\n"
    "    max_range: 4.0\n"
    "fleet:\n"
    "  robot:\n"
    "    align_feature_node:\n"
    "      ros__parameters:\n"
    "        max_range: 5.0\n"
    "/**:\n"
    "  ros__parameters:\n"
    "    use_sim_time: false\n"
    "    max_range: 9.0\n");
};

TEST_F(ParametersFile, ReadsNodeKeysNestedNamesAndTypes)
{
  const auto args = RosArguments::parse({"--ros-args", "--params-file", file_});
  const auto overrides = args.parameter_overrides("/align_node");
  EXPECT_EQ(overrides.at("scan_topic").get<std::string>(), "back_scan");
  EXPECT_EQ(overrides.at("min_points_per_line").get<int64_t>(), 5);
  EXPECT_TRUE(overrides.at("debug").get<bool>());
  EXPECT_EQ(overrides.at("frame").get<std::string>(), "123");
  EXPECT_EQ(overrides.at("ranges").get<std::vector<double>>(), (std::vector<double>{0.5, 1.5}));
  EXPECT_DOUBLE_EQ(overrides.at("detector.threshold").get<double>(), 0.01);
  EXPECT_EQ(overrides.at("detector.limits.low").get<int64_t>(), 16);
  EXPECT_FALSE(overrides.at("use_sim_time").get<bool>());
}

TEST_F(ParametersFile, NamespacedNodesAndWildcard)
{
  const auto args = RosArguments::parse({"--ros-args", "--params-file", file_});
  EXPECT_DOUBLE_EQ(
    args.parameter_overrides("/robot/align_node").at("max_range").get<double>(), 9.0);
  EXPECT_DOUBLE_EQ(
    args.parameter_overrides("/fleet/robot/align_feature_node").at("max_range").get<double>(),
    9.0);
  const auto stranger = args.parameter_overrides("/stranger");
  EXPECT_EQ(stranger.size(), 2u);
  EXPECT_EQ(stranger.count("scan_topic"), 0u);
}

TEST_F(ParametersFile, KeyThatFirstAppearedLaterWins)
{
  // In the file "/**" comes after "align_node", so it wins for max_range.
  const auto from_file = RosArguments::parse({"--ros-args", "--params-file", file_});
  EXPECT_DOUBLE_EQ(from_file.parameter_overrides("/align_node").at("max_range").get<double>(), 9.0);

  // A later -p for a key that already appeared replaces the value in place,
  // so "/**" (first seen in the file, after align_node) still wins.
  const auto plain_later = RosArguments::parse(
    {"--ros-args", "--params-file", file_, "-p", "max_range:=1.0"});
  EXPECT_DOUBLE_EQ(
    plain_later.parameter_overrides("/align_node").at("max_range").get<double>(), 1.0);
  EXPECT_DOUBLE_EQ(
    plain_later.parameter_overrides("/robot/align_node").at("max_range").get<double>(), 1.0);

  // A node key seen before the file loses against the file's later "/**".
  const auto node_first = RosArguments::parse(
    {"--ros-args", "-p", "/robot/align_node:max_range:=3.0", "--params-file", file_});
  EXPECT_DOUBLE_EQ(
    node_first.parameter_overrides("/robot/align_node").at("max_range").get<double>(), 9.0);

  // A wildcard seen first loses against a node key that appears later.
  const auto wildcard_first = RosArguments::parse(
    {"--ros-args", "-p", "gain:=1", "-p", "align_node:gain:=2", "-p", "gain:=3"});
  EXPECT_EQ(wildcard_first.parameter_overrides("/align_node").at("gain").get<int64_t>(), 2);
  EXPECT_EQ(wildcard_first.parameter_overrides("/other").at("gain").get<int64_t>(), 3);
}

TEST(ParametersFileErrors, BadYamlAndUnsupportedValuesAreInvalid)
{
  using rclcpp::exceptions::RCLInvalidROSArgsError;
  const std::vector<std::string> contents{
    "node:\n  ros__parameters:\n    a: [1, 2\n",
    "node:\n  ros__parameters:\n    mixed: [1, x]\n",
    "node:\n  ros__parameters:\n    empty:\n",
    "- just\n- a list\n",
    "node: 3\n",
  };
  int index = 0;
  for (const auto & content : contents) {
    const auto path = write_file("process_bad_" + std::to_string(index++) + ".yaml", content);
    EXPECT_THROW(RosArguments::parse({"--ros-args", "--params-file", path}),
      RCLInvalidROSArgsError) << content;
  }
  const auto empty = write_file("process_empty.yaml", "");
  EXPECT_TRUE(RosArguments::parse({"--ros-args", "--params-file", empty}).empty());
}

}  // namespace
