#ifndef ALIGN_TOOLS__LOG_TAP_HPP_
#define ALIGN_TOOLS__LOG_TAP_HPP_

#include <cstddef>
#include <string>

namespace align_tools
{

// What the node under replay has logged so far.
struct LogCounts
{
  std::size_t scans_received = 0;  // first line of every scan callback
  std::size_t transform_drops = 0;  // "Get tf_trans failed."
  std::size_t enable_signals = 0;  // "Align enable signal turn to TRUE." or "... FALSE."
};

// Sits in rcutils' output handler chain while a node is replayed. The node's
// logger is switched to DEBUG so that the tap sees the per-scan lines that
// mark a scan as received or dropped at the transform gate; lines below the
// level the user asked for are kept from the console, everything else is
// passed on to the handler that was installed before (console layout
// unchanged). One tap at a time; the destructor restores the handler and
// the logger's level.
class LogTap
{
public:
  explicit LogTap(const std::string & node_logger);
  ~LogTap();
  LogTap(const LogTap &) = delete;
  LogTap & operator=(const LogTap &) = delete;

  LogCounts counts() const;

  // While muted, nothing reaches the console (the tap still counts).
  void set_muted(bool muted);
};

}  // namespace align_tools

#endif  // ALIGN_TOOLS__LOG_TAP_HPP_
