// What init records of the security environment: the enclave, the
// enforcement policy and the enclave's folder in the keystore.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "rcl/context.h"
#include "rcl/init_options.h"
#include "rcl/security.h"
#include "rclcpp/context.hpp"
#include "rclcpp/exceptions.hpp"

namespace
{

const char * const kVariables[] = {
  "ROS_SECURITY_ENABLE", "ROS_SECURITY_STRATEGY", "ROS_SECURITY_KEYSTORE",
  "ROS_SECURITY_ENCLAVE_OVERRIDE"};

// Each test starts without any security variable and a keystore folder with
// one enclave, /robot/detector.
class SecurityEnvironment : public ::testing::Test
{
protected:
  void SetUp() override
  {
    for (const char * name : kVariables) {
      if (const char * value = std::getenv(name)) {
        saved_[name] = value;
      }
      unsetenv(name);
    }
    char pattern[] = "/tmp/standin_keystore_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    keystore_ = pattern;
    for (const char * folder : {"/enclaves", "/enclaves/robot", "/enclaves/robot/detector"}) {
      ASSERT_EQ(mkdir((keystore_ + folder).c_str(), 0700), 0);
    }
  }
  void TearDown() override
  {
    for (const char * folder : {"/enclaves/robot/detector", "/enclaves/robot", "/enclaves", ""}) {
      rmdir((keystore_ + folder).c_str());
    }
    for (const char * name : kVariables) {
      unsetenv(name);
    }
    for (const auto & entry : saved_) {
      setenv(entry.first.c_str(), entry.second.c_str(), 1);
    }
  }

  // Initialises a context of its own with `enclave` on the command line
  // (none when empty) and returns what rcl reports of it.
  struct Recorded
  {
    std::string enclave;
    rmw_security_enforcement_policy_t policy;
    std::optional<std::string> root;
  };
  Recorded init_with(const std::string & enclave)
  {
    auto context = std::make_shared<rclcpp::Context>();
    if (enclave.empty()) {
      const char * argv[] = {"prog"};
      context->init(1, argv);
    } else {
      const char * argv[] = {"prog", "--ros-args", "--enclave", enclave.c_str()};
      context->init(4, argv);
    }
    auto * options = const_cast<rcl_init_options_t *>(
      rcl_context_get_init_options(context->get_rcl_context().get()));
    const rmw_init_options_t * rmw = rcl_init_options_get_rmw_init_options(options);
    Recorded recorded{rmw->enclave, rmw->security_options.enforce_security, std::nullopt};
    if (rmw->security_options.security_root_path != nullptr) {
      recorded.root = rmw->security_options.security_root_path;
    }
    context->shutdown("done");
    return recorded;
  }

  std::map<std::string, std::string> saved_;
  std::string keystore_;
};

TEST_F(SecurityEnvironment, WithoutSecurityOnlyTheEnclaveNameIsRecorded)
{
  EXPECT_EQ(rcl_context_get_init_options(rclcpp::Context().get_rcl_context().get()), nullptr);
  const Recorded plain = init_with("");
  EXPECT_EQ(plain.enclave, "/");
  EXPECT_EQ(plain.policy, RMW_SECURITY_ENFORCEMENT_PERMISSIVE);
  EXPECT_FALSE(plain.root.has_value());
  setenv("ROS_SECURITY_ENABLE", "True", 1);   // only "true" switches it on
  setenv("ROS_SECURITY_KEYSTORE", keystore_.c_str(), 1);
  const Recorded named = init_with("/robot/detector");
  EXPECT_EQ(named.enclave, "/robot/detector");
  EXPECT_FALSE(named.root.has_value());
  EXPECT_THROW(init_with("robot"), rclcpp::exceptions::RCLError) << "enclave names are absolute";
}

TEST_F(SecurityEnvironment, AnExistingEnclaveFolderIsFoundInBothStrategies)
{
  setenv("ROS_SECURITY_ENABLE", "true", 1);
  setenv("ROS_SECURITY_KEYSTORE", keystore_.c_str(), 1);
  const Recorded permissive = init_with("/robot/detector");
  EXPECT_EQ(permissive.policy, RMW_SECURITY_ENFORCEMENT_PERMISSIVE);
  EXPECT_EQ(permissive.root, keystore_ + "/enclaves/robot/detector");
  setenv("ROS_SECURITY_STRATEGY", "Enforce", 1);
  const Recorded enforced = init_with("/robot/detector");
  EXPECT_EQ(enforced.policy, RMW_SECURITY_ENFORCEMENT_ENFORCE);
  EXPECT_EQ(enforced.root, keystore_ + "/enclaves/robot/detector");
  // No enclave argument means "/", the enclaves folder itself.
  EXPECT_EQ(init_with("").root, keystore_ + "/enclaves");
  setenv("ROS_SECURITY_ENCLAVE_OVERRIDE", "/robot", 1);
  EXPECT_EQ(init_with("/robot/detector").root, keystore_ + "/enclaves/robot");

  rcl_allocator_t allocator = rcl_get_default_allocator();
  char * root = rcl_get_secure_root("/whatever", &allocator);
  ASSERT_NE(root, nullptr) << "the override wins";
  EXPECT_EQ(std::string(root), keystore_ + "/enclaves/robot");
  allocator.deallocate(root, allocator.state);
}

TEST_F(SecurityEnvironment, AMissingFolderFailsInitOnlyWhenEnforced)
{
  setenv("ROS_SECURITY_ENABLE", "true", 1);
  setenv("ROS_SECURITY_KEYSTORE", keystore_.c_str(), 1);
  EXPECT_FALSE(init_with("/robot/other").root.has_value()) << "permissive runs without security";
  setenv("ROS_SECURITY_STRATEGY", "Enforce", 1);
  try {
    init_with("/robot/other");
    ADD_FAILURE() << "init succeeded";
  } catch (const rclcpp::exceptions::RCLError & error) {
    EXPECT_EQ(std::string(error.what()),
      "failed to initialize rcl: SECURITY ERROR: directory '" + keystore_ +
      "/enclaves/robot/other' does not exist.");
  }
  unsetenv("ROS_SECURITY_KEYSTORE");
  EXPECT_THROW(init_with("/robot/detector"), rclcpp::exceptions::RCLError) << "no keystore";
}

}  // namespace
