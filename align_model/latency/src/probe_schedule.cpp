#include "align_latency/probe_schedule.hpp"

#include <numeric>
#include <utility>

#include "align_tools/surface_scan.hpp"

namespace align_latency
{

std::vector<std::size_t> interleaved_schedule(std::size_t targets, std::size_t rounds, std::uint64_t seed)
{
  align_tools::PortableRandom random(seed);
  std::vector<std::size_t> schedule;
  schedule.reserve(targets * rounds);
  std::vector<std::size_t> round(targets);
  for (std::size_t r = 0; r < rounds; ++r) {
    std::iota(round.begin(), round.end(), 0);
    // Fisher-Yates with the portable generator.
    for (std::size_t i = targets; i > 1; --i) {
      const auto j = static_cast<std::size_t>(random.uniform() * static_cast<double>(i));
      std::swap(round[i - 1], round[j < i ? j : i - 1]);
    }
    schedule.insert(schedule.end(), round.begin(), round.end());
  }
  return schedule;
}

}  // namespace align_latency
