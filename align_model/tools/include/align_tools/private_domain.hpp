// Keeps a replay out of hearing of every other ROS 2 participant: the nodes it
// runs, the scans, /clock and /tf_static it publishes and the outputs it
// records stay in a DDS domain of its own, on loopback only.
#ifndef ALIGN_TOOLS__PRIVATE_DOMAIN_HPP_
#define ALIGN_TOOLS__PRIVATE_DOMAIN_HPP_

#include <cstddef>

#include "rclcpp/init_options.hpp"

namespace align_tools
{

// Domain IDs a replay may claim. They lie above the ephemeral port range of
// Linux and far from the small IDs robots are configured with.
constexpr std::size_t kFirstPrivateDomain = 215;
constexpr std::size_t kLastPrivateDomain = 232;

// Claims a free ID in that range for the rest of the process, other than the
// one ROS_DOMAIN_ID names, sets ROS_LOCALHOST_ONLY=1 for the init to read and
// returns init options with that domain. Throws std::runtime_error when every
// ID is held by another running replay.
rclcpp::InitOptions private_domain_init_options();

}  // namespace align_tools

#endif  // ALIGN_TOOLS__PRIVATE_DOMAIN_HPP_
