#include "process_memory.hpp"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace align_soak
{
namespace
{

// "VmRSS:\t   12345 kB" -> 12345
std::int64_t kib_after(const std::string & line, std::size_t label_length)
{
  try {
    return std::stoll(line.substr(label_length));
  } catch (const std::exception &) {
    return -1;
  }
}

}  // namespace

ProcessMemory read_process_memory()
{
  ProcessMemory memory;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      memory.rss_kib = kib_after(line, std::strlen("VmRSS:"));
    } else if (line.rfind("VmHWM:", 0) == 0) {
      memory.peak_rss_kib = kib_after(line, std::strlen("VmHWM:"));
    }
  }
  return memory;
}

const char * format_mib(std::int64_t kib, char (&buffer)[32])
{
  if (kib < 0) {
    std::snprintf(buffer, sizeof(buffer), "n/a");
  } else {
    std::snprintf(buffer, sizeof(buffer), "%.1f MiB", static_cast<double>(kib) / 1024.0);
  }
  return buffer;
}

}  // namespace align_soak
