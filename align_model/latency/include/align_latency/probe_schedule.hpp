// The order in which an interleaved latency run sends its scans to the
// targets: in rounds of one scan per target, each round in an order of its
// own, so that every target meets the same conditions as the others within
// a few scans and none is always the first after a pause.
#ifndef ALIGN_LATENCY__PROBE_SCHEDULE_HPP_
#define ALIGN_LATENCY__PROBE_SCHEDULE_HPP_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace align_latency
{

// `rounds` rounds of the target indices 0..targets-1, each round shuffled
// with a generator seeded by `seed`: the same schedule for the same seed on
// every platform.
std::vector<std::size_t> interleaved_schedule(std::size_t targets, std::size_t rounds, std::uint64_t seed);

}  // namespace align_latency

#endif  // ALIGN_LATENCY__PROBE_SCHEDULE_HPP_
