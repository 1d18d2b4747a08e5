// With ROS_SECURITY_ENABLE=true and credentials that are missing or in the
// wrong place, each program must stop at once with one FATAL line and
// status 1: never hang, never run without security.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "program/security_setup.hpp"

namespace
{

// A keystore folder with one enclave, /robot/detector, holding only a
// certificate: too little for DDS security.
class ScratchKeystore
{
public:
  ScratchKeystore()
  {
    char pattern[] = "/tmp/align_keystore_XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
      root_ = pattern;
      mkdir((root_ + "/enclaves").c_str(), 0700);
      mkdir((root_ + "/enclaves/robot").c_str(), 0700);
      mkdir((root_ + "/enclaves/robot/detector").c_str(), 0700);
      std::ofstream(root_ + "/enclaves/robot/detector/cert.pem") << "not a certificate\n";
    }
  }
  ~ScratchKeystore()
  {
    std::remove((root_ + "/enclaves/robot/detector/cert.pem").c_str());
    for (const char * folder : {"/enclaves/robot/detector", "/enclaves/robot", "/enclaves", ""}) {
      rmdir((root_ + folder).c_str());
    }
  }
  const std::string & root() const {return root_;}

private:
  std::string root_;
};

struct ProgramRun
{
  int status = -1;
  std::string output;
};

// Runs `binary` with the environment prefix and ROS arguments, both outputs
// on one pipe. The security variables of the caller are cleared first.
ProgramRun run(const std::string & binary, const std::string & environment, const std::string & ros_args)
{
  const std::string command =
    "env -u ROS_SECURITY_ENABLE -u ROS_SECURITY_STRATEGY -u ROS_SECURITY_KEYSTORE "
    "-u ROS_SECURITY_ENCLAVE_OVERRIDE " + environment + " " + binary + " --ros-args " + ros_args +
    " 2>&1";
  ProgramRun result;
  FILE * pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return result;
  }
  char buffer[512];
  while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr) {
    result.output += buffer;
  }
  result.status = pclose(pipe);
  return result;
}

// One FATAL line containing `text`, status 1, and the node never started.
void expect_refused(const ProgramRun & run, const std::string & text)
{
  ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
  EXPECT_EQ(WEXITSTATUS(run.status), 1) << run.output;
  const std::size_t at = run.output.find(text);
  ASSERT_NE(at, std::string::npos) << run.output;
  EXPECT_EQ(run.output.rfind("[FATAL] [", at), run.output.rfind('\n', at) + 1) << run.output;
  EXPECT_EQ(run.output.find("Enable signal default to TRUE when test."), std::string::npos) << run.output;
}

const char * const kPrograms[] = {ALIGN_FEATURE_NODE_BINARY, ALIGN_NODE_BINARY};

TEST(SecuritySetupProgram, NoKeystoreOrNoEnclaveFolderEndsWithOneFatalLine)
{
  ScratchKeystore keystore;
  ASSERT_FALSE(keystore.root().empty());
  const std::string in_keystore = "ROS_SECURITY_ENABLE=true ROS_SECURITY_KEYSTORE=" + keystore.root();
  for (const char * program : kPrograms) {
    SCOPED_TRACE(program);
    expect_refused(run(program, "ROS_SECURITY_ENABLE=true", "--enclave /robot/detector"),
      "ROS_SECURITY_KEYSTORE is not set; refusing to run without security");
    // Enforced, rcl itself fails, and says only "error not set".
    expect_refused(
      run(program, "ROS_SECURITY_ENABLE=true ROS_SECURITY_STRATEGY=Enforce", "--enclave /robot/detector"),
      "; ROS_SECURITY_ENABLE=true but ROS_SECURITY_KEYSTORE is not set");
    // Permissive (the default strategy) would quietly run unsecured here.
    expect_refused(run(program, in_keystore, "--enclave /robot/other"),
      "has no folder for enclave '/robot/other'");
    // Enforced, rcl refuses the missing folder itself.
    expect_refused(
      run(program, in_keystore + " ROS_SECURITY_STRATEGY=Enforce", "--enclave /robot/other"),
      "SECURITY ERROR: directory '" + keystore.root() + "/enclaves/robot/other' does not exist.");
  }
}

TEST(SecuritySetupProgram, AnIncompleteEnclaveFolderEndsWithOneFatalLine)
{
  ScratchKeystore keystore;
  ASSERT_FALSE(keystore.root().empty());
  const std::string in_keystore = "ROS_SECURITY_ENABLE=true ROS_SECURITY_KEYSTORE=" + keystore.root();
  for (const char * program : kPrograms) {
    SCOPED_TRACE(program);
    for (const char * strategy : {"", " ROS_SECURITY_STRATEGY=Enforce"}) {
      expect_refused(run(program, in_keystore + strategy, "--enclave /robot/detector"),
        "of enclave '/robot/detector' lacks identity_ca.cert.pem, key.pem, permissions_ca.cert.pem, "
        "governance.p7s, permissions.p7s; refusing to run without security");
      expect_refused(run(program, in_keystore + strategy, "--log-level warn"),
        "of the root enclave '/' (no --ros-args --enclave was given) lacks identity_ca.cert.pem");
    }
  }
}

TEST(SecuritySetup, FailureHintsOnlyWhenSecurityIsEnabled)
{
  EXPECT_EQ(align_program::init_failure_hint(false, ""), "");
  EXPECT_EQ(align_program::init_failure_hint(true, "/ks"), "");
  EXPECT_NE(align_program::init_failure_hint(true, "").find("ROS_SECURITY_KEYSTORE is not set"), std::string::npos);
  EXPECT_EQ(align_program::node_failure_hint(false), "");
  EXPECT_NE(align_program::node_failure_hint(true).find("expired"), std::string::npos);
}

TEST(SecuritySetup, CompleteFolderPassesAndOnlyMissingFilesAreNamed)
{
  align_program::SecuritySetup setup{"/robot/detector", "/ks/enclaves/robot/detector", "/ks"};
  EXPECT_FALSE(align_program::security_setup_problem(setup, [](const std::string &) {return true;}));
  const std::set<std::string> present{"/ks/enclaves/robot/detector/cert.pem",
    "/ks/enclaves/robot/detector/key.pem", "/ks/enclaves/robot/detector/identity_ca.cert.pem",
    "/ks/enclaves/robot/detector/permissions_ca.cert.pem"};
  const auto problem = align_program::security_setup_problem(
    setup, [&present](const std::string & path) {return present.count(path) == 1;});
  ASSERT_TRUE(problem);
  EXPECT_NE(problem->find("lacks governance.p7s, permissions.p7s;"), std::string::npos) << *problem;
}

}  // namespace
