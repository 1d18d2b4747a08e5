#ifndef SOAK__PROCESS_MEMORY_HPP_
#define SOAK__PROCESS_MEMORY_HPP_

#include <cstdint>

namespace align_soak
{

// The process's resident set from /proc/self/status, in KiB; -1 where the
// kernel does not report it.
struct ProcessMemory
{
  std::int64_t rss_kib = -1;  // VmRSS: resident now
  std::int64_t peak_rss_kib = -1;  // VmHWM: the highest VmRSS so far
};

ProcessMemory read_process_memory();

// KiB as MiB with one decimal, or "n/a".
const char * format_mib(std::int64_t kib, char (&buffer)[32]);

}  // namespace align_soak

#endif  // SOAK__PROCESS_MEMORY_HPP_
