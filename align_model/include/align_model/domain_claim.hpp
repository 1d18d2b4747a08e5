// Claims a DDS domain ID for this process, so that processes that run at the
// same time (parallel test programs, concurrent replays) never hear each
// other. A claim is a TCP port bound on every interface, port 32768 + ID, held
// open until the process ends; the ROS 2 test isolation of ament uses the same
// ports, so both kinds of claim keep out of each other's way.
#ifndef ALIGN_MODEL__DOMAIN_CLAIM_HPP_
#define ALIGN_MODEL__DOMAIN_CLAIM_HPP_

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace align_model
{

// The first ID in [first, last] that no other process holds, skipping
// `avoid` (the domain the rest of the system uses). The claim lasts until the
// process exits; nullopt when every ID is taken.
inline std::optional<std::size_t> claim_domain_id(
  std::size_t first, std::size_t last, std::optional<std::size_t> avoid = std::nullopt)
{
  constexpr std::size_t kPortBase = 32768;
  for (std::size_t id = first; id <= last; ++id) {
    if (avoid && *avoid == id) {
      continue;
    }
    const int socket_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_fd < 0) {
      return std::nullopt;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<std::uint16_t>(kPortBase + id));
    if (::bind(socket_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0) {
      return id;   // the descriptor stays open: it is the claim
    }
    ::close(socket_fd);
  }
  return std::nullopt;
}

}  // namespace align_model

#endif  // ALIGN_MODEL__DOMAIN_CLAIM_HPP_
