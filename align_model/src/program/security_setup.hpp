// With ROS_SECURITY_ENABLE=true a program runs with its enclave's credentials
// or not at all. rcl only insists on them under ROS_SECURITY_STRATEGY=Enforce;
// in the permissive default a missing or incomplete enclave folder quietly
// gives an unsecured participant, which on a secured robot hears nobody and
// looks like a program that never detects anything.
#ifndef PROGRAM__SECURITY_SETUP_HPP_
#define PROGRAM__SECURITY_SETUP_HPP_

#include <sys/stat.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rcl/context.h"
#include "rcl/init_options.h"
#include "rcl/security.h"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/rclcpp.hpp"

namespace align_program
{

// What rcl found for this process: its enclave and the enclave's folder in
// the keystore (empty when none was found).
struct SecuritySetup
{
  std::string enclave;
  std::string folder;
  std::string keystore;    // ROS_SECURITY_KEYSTORE
};

// The files DDS security needs in an enclave folder.
inline const std::vector<std::string> & enclave_files()
{
  static const std::vector<std::string> files{
    "identity_ca.cert.pem", "cert.pem", "key.pem", "permissions_ca.cert.pem", "governance.p7s",
    "permissions.p7s"};
  return files;
}

// Why the program cannot run secured, or nothing when it can.
inline std::optional<std::string> security_setup_problem(
  const SecuritySetup & setup, const std::function<bool(const std::string &)> & file_exists)
{
  const std::string refusal = "; refusing to run without security";
  const std::string which = setup.enclave == "/" ?
    "the root enclave '/' (no --ros-args --enclave was given)" : "enclave '" + setup.enclave + "'";
  if (setup.keystore.empty()) {
    return "ROS_SECURITY_ENABLE=true but ROS_SECURITY_KEYSTORE is not set" + refusal;
  }
  if (setup.folder.empty()) {
    return "ROS_SECURITY_ENABLE=true but keystore '" + setup.keystore + "' has no folder for " +
           which + " (create it with 'ros2 security create_enclave')" + refusal;
  }
  std::string missing;
  for (const std::string & file : enclave_files()) {
    if (!file_exists(setup.folder + "/" + file)) {
      missing += (missing.empty() ? "" : ", ") + file;
    }
  }
  if (!missing.empty()) {
    return "ROS_SECURITY_ENABLE=true but the folder '" + setup.folder + "' of " + which +
           " lacks " + missing + refusal;
  }
  return std::nullopt;
}

// What to add to the message of a failed rclcpp::init. Enforced security
// without a keystore fails there with rcl's bare "error not set".
inline std::string init_failure_hint(bool security_enabled, const std::string & keystore)
{
  return security_enabled && keystore.empty() ?
         "; ROS_SECURITY_ENABLE=true but ROS_SECURITY_KEYSTORE is not set" : "";
}

// What to add to the message of a node that could not be built. When DDS
// security refuses the enclave's credentials, rmw reports only an invalid
// handle; the DDS layer has printed the reason just before.
inline std::string node_failure_hint(bool security_enabled)
{
  return security_enabled ?
         " (security is enabled: if DDS refused this enclave's credentials, the reason is printed "
         "above: an expired or not yet valid certificate, one of another certificate authority, or "
         "permissions made for another ROS_DOMAIN_ID)" : "";
}

inline bool security_enabled()
{
  bool enabled = false;
  return rcl_security_enabled(&enabled) == RCL_RET_OK && enabled;
}

inline std::string keystore_variable()
{
  const char * keystore = std::getenv(ROS_SECURITY_KEYSTORE_VAR_NAME);
  return keystore ? keystore : "";
}

inline bool regular_file_exists(const std::string & path)
{
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The problem with the global context's security setup, or nothing when
// security is off or complete. Call after rclcpp::init.
inline std::optional<std::string> check_security_setup()
{
  if (!security_enabled()) {
    return std::nullopt;
  }
  auto context = rclcpp::contexts::get_global_default_context()->get_rcl_context();
  // rcl_init keeps its own copy of the options and writes into it what it
  // found; rcl's accessor takes them non-const, though it only reads here.
  auto * options = const_cast<rcl_init_options_t *>(rcl_context_get_init_options(context.get()));
  const rmw_init_options_t * rmw = options ? rcl_init_options_get_rmw_init_options(options) : nullptr;
  if (rmw == nullptr) {
    return std::string("ROS_SECURITY_ENABLE=true but the security options cannot be read");
  }
  SecuritySetup setup;
  setup.enclave = rmw->enclave ? rmw->enclave : "/";
  setup.folder = rmw->security_options.security_root_path ? rmw->security_options.security_root_path : "";
  setup.keystore = keystore_variable();
  return security_setup_problem(setup, regular_file_exists);
}

}  // namespace align_program

#endif  // PROGRAM__SECURITY_SETUP_HPP_
