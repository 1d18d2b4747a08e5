#ifndef ALIGN_TOOLS__ROSBAG2_SQLITE_HPP_
#define ALIGN_TOOLS__ROSBAG2_SQLITE_HPP_

#include <cstdint>
#include <string>
#include <vector>

namespace align_tools
{

struct Rosbag2Topic
{
  std::string name;  // e.g. "/back_scan"
  std::string type;  // e.g. "sensor_msgs/msg/LaserScan"
  std::string serialization_format = "cdr";
  std::string offered_qos_profiles;  // YAML list, as rosbag2 stores it
};

struct Rosbag2Message
{
  std::string topic;
  std::string type;
  std::int64_t timestamp = 0;  // receive time, ns since the epoch
  std::vector<std::uint8_t> data;  // CDR bytes
};

// Reads a bag of the sqlite3 or the MCAP storage: a bag folder (the files
// named by its metadata.yaml, or every .db3 and .mcap in it when there is
// none) or one .db3 or .mcap file. Messages come in rosbag2's own playing
// order (timestamp, then id or order in the file). Throws RecordingError
// naming the file for anything sqlite refuses (missing tables, a truncated
// or foreign file) and what read_mcap() refuses.
std::vector<Rosbag2Message> read_rosbag2(const std::string & path);

// True when the path is a folder with metadata.yaml, .db3 or .mcap files,
// or a file that starts with the SQLite header or the MCAP magic.
bool is_rosbag2(const std::string & path);

// Writes a bag folder `folder` (created if missing, must hold no bag yet)
// with metadata.yaml and <folder name>_0.db3, in the Humble layout.
// Messages are stored in the given order; their topics must be listed.
void write_rosbag2(
  const std::string & folder, const std::vector<Rosbag2Topic> & topics,
  const std::vector<Rosbag2Message> & messages);

// The QoS profile list that `ros2 bag record` stores for a reliable,
// volatile sensor publisher (transient_local for a latched one).
std::string default_qos_profiles(bool transient_local);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__ROSBAG2_SQLITE_HPP_
