#ifndef SOAK__LOG_COUNTER_HPP_
#define SOAK__LOG_COUNTER_HPP_

#include <array>
#include <cstddef>

namespace align_soak
{

// Log lines per severity: DEBUG, INFO, WARN, ERROR, FATAL.
using LogCounts = std::array<std::size_t, 5>;

// Sits in rcutils' output handler while the soak runs: a million scans of
// broken input would otherwise print a million error lines. The first
// `shown` lines reach the console through the handler installed before;
// every line is counted. One counter at a time; the destructor restores the
// previous handler.
class LogCounter
{
public:
  LogCounter();
  ~LogCounter();
  LogCounter(const LogCounter &) = delete;
  LogCounter & operator=(const LogCounter &) = delete;

  // Lets the next `count` lines through to the console.
  void show(std::size_t count);
  // Counts since the last reset (shown lines included), and resets them.
  LogCounts take();
  // Counts since the last reset, without resetting.
  LogCounts peek() const;
};

}  // namespace align_soak

#endif  // SOAK__LOG_COUNTER_HPP_
