#include "align_tools/rosbag2_sqlite.hpp"

#include <sqlite3.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>

#include "align_tools/mcap.hpp"
#include "align_tools/recording_error.hpp"

namespace fs = std::filesystem;

namespace align_tools
{
namespace
{

// Owns one sqlite connection; every failure becomes a RecordingError that
// names the file.
class Database
{
public:
  Database(const std::string & path, int flags)
  : path_(path)
  {
    sqlite3 * handle = nullptr;
    const int status = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    db_.reset(handle);
    if (status != SQLITE_OK) {
      fail("cannot open");
    }
  }

  sqlite3 * get() const {return db_.get();}

  [[noreturn]] void fail(const std::string & doing) const
  {
    throw RecordingError(path_ + ": " + doing + ": " + (db_ ? sqlite3_errmsg(db_.get()) : "out of memory"));
  }

  void execute(const std::string & sql) const
  {
    char * message = nullptr;
    if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      const std::string text = message ? message : "unknown error";
      sqlite3_free(message);
      throw RecordingError(path_ + ": " + text);
    }
  }

private:
  struct Closer
  {
    void operator()(sqlite3 * db) const {sqlite3_close(db);}
  };
  std::string path_;
  std::unique_ptr<sqlite3, Closer> db_;
};

class Statement
{
public:
  Statement(const Database & db, const std::string & sql)
  : db_(db)
  {
    sqlite3_stmt * handle = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &handle, nullptr) != SQLITE_OK) {
      db.fail("cannot read the bag tables");
    }
    statement_.reset(handle);
  }

  // True while a row is available.
  bool step()
  {
    const int status = sqlite3_step(statement_.get());
    if (status == SQLITE_ROW) {
      return true;
    }
    if (status != SQLITE_DONE) {
      db_.fail("reading stopped");
    }
    return false;
  }

  void reset() {sqlite3_reset(statement_.get());}
  sqlite3_stmt * get() const {return statement_.get();}

  std::string text(int column) const
  {
    const auto * value = sqlite3_column_text(statement_.get(), column);
    return value ? reinterpret_cast<const char *>(value) : "";
  }

private:
  struct Finalizer
  {
    void operator()(sqlite3_stmt * statement) const {sqlite3_finalize(statement);}
  };
  const Database & db_;
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

// A truncated file often opens fine and fails only at the row that lies
// beyond its end; say how far reading got.
bool step_naming_position(Statement & rows, std::size_t messages_read)
{
  try {
    return rows.step();
  } catch (const RecordingError & error) {
    throw RecordingError(std::string(error.what()) + " (" + std::to_string(messages_read) + " messages read before)");
  }
}

void read_database(const std::string & path, std::vector<Rosbag2Message> & messages)
{
  Database db(path, SQLITE_OPEN_READONLY);
  std::map<std::int64_t, Rosbag2Topic> topics;
  Statement topic_rows(db, "SELECT id, name, type FROM topics");
  while (topic_rows.step()) {
    Rosbag2Topic topic;
    topic.name = topic_rows.text(1);
    topic.type = topic_rows.text(2);
    topics[sqlite3_column_int64(topic_rows.get(), 0)] = topic;
  }
  Statement rows(db, "SELECT topic_id, timestamp, data FROM messages ORDER BY timestamp, id");
  const std::size_t first_message = messages.size();
  while (step_naming_position(rows, messages.size() - first_message)) {
    const auto topic = topics.find(sqlite3_column_int64(rows.get(), 0));
    if (topic == topics.end()) {
      throw RecordingError(path + ": message " + std::to_string(messages.size()) + " of an unknown topic");
    }
    Rosbag2Message message;
    message.topic = topic->second.name;
    message.type = topic->second.type;
    message.timestamp = sqlite3_column_int64(rows.get(), 1);
    const auto * blob = static_cast<const std::uint8_t *>(sqlite3_column_blob(rows.get(), 2));
    const int size = sqlite3_column_bytes(rows.get(), 2);
    if (blob != nullptr && size > 0) {
      message.data.assign(blob, blob + size);
    }
    messages.push_back(std::move(message));
  }
}

std::vector<std::string> database_files(const fs::path & folder)
{
  std::vector<std::string> files;
  const fs::path metadata = folder / "metadata.yaml";
  if (fs::exists(metadata)) {
    try {
      const YAML::Node info = YAML::LoadFile(metadata.string())["rosbag2_bagfile_information"];
      const std::string storage = info["storage_identifier"].as<std::string>("sqlite3");
      if (storage != "sqlite3" && storage != "mcap") {
        throw RecordingError(
                metadata.string() + ": storage '" + storage + "' is not supported (only sqlite3 and mcap)");
      }
      for (const auto & file : info["relative_file_paths"]) {
        files.push_back((folder / file.as<std::string>()).string());
      }
    } catch (const YAML::Exception & error) {
      throw RecordingError(metadata.string() + ": " + error.what());
    }
  }
  if (files.empty()) {
    for (const auto & entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() == ".db3" || entry.path().extension() == ".mcap") {
        files.push_back(entry.path().string());
      }
    }
    std::sort(files.begin(), files.end());
  }
  if (files.empty()) {
    throw RecordingError(folder.string() + ": bag folder without .db3 or .mcap files");
  }
  return files;
}

bool starts_with_sqlite_header(const std::string & path)
{
  std::ifstream file(path, std::ios::binary);
  char header[16] = {};
  file.read(header, sizeof(header));
  return file.gcount() == 16 && std::string(header, 15) == "SQLite format 3";
}

std::string metadata_yaml(
  const std::string & db_name, const std::vector<Rosbag2Topic> & topics,
  const std::vector<Rosbag2Message> & messages)
{
  std::int64_t first = 0, last = 0;
  if (!messages.empty()) {
    first = last = messages.front().timestamp;
    for (const auto & message : messages) {
      first = std::min(first, message.timestamp);
      last = std::max(last, message.timestamp);
    }
  }
  // In unsigned arithmetic: stamps from far before and far after the epoch
  // are further apart than a signed 64-bit count can hold.
  const std::uint64_t duration = static_cast<std::uint64_t>(last) - static_cast<std::uint64_t>(first);
  std::ostringstream out;
  out << "rosbag2_bagfile_information:\n"
      << "  version: 5\n"
      << "  storage_identifier: sqlite3\n"
      << "  duration:\n    nanoseconds: " << duration << "\n"
      << "  starting_time:\n    nanoseconds_since_epoch: " << first << "\n"
      << "  message_count: " << messages.size() << "\n"
      << "  topics_with_message_count:\n";
  for (const auto & topic : topics) {
    const auto count = std::count_if(
      messages.begin(), messages.end(), [&](const Rosbag2Message & m) {return m.topic == topic.name;});
    YAML::Emitter qos;
    qos << YAML::DoubleQuoted << topic.offered_qos_profiles;
    out << "    - topic_metadata:\n"
        << "        name: " << topic.name << "\n"
        << "        type: " << topic.type << "\n"
        << "        serialization_format: " << topic.serialization_format << "\n"
        << "        offered_qos_profiles: " << qos.c_str() << "\n"
        << "      message_count: " << count << "\n";
  }
  out << "  compression_format: \"\"\n"
      << "  compression_mode: \"\"\n"
      << "  relative_file_paths:\n    - " << db_name << "\n"
      << "  files:\n"
      << "    - path: " << db_name << "\n"
      << "      starting_time:\n        nanoseconds_since_epoch: " << first << "\n"
      << "      duration:\n        nanoseconds: " << duration << "\n"
      << "      message_count: " << messages.size() << "\n";
  return out.str();
}

void write_tables(
  const std::string & db_path, const std::vector<Rosbag2Topic> & topics,
  const std::vector<Rosbag2Message> & messages)
{
  Database db(db_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  db.execute(
    "CREATE TABLE topics(id INTEGER PRIMARY KEY, name TEXT NOT NULL, type TEXT NOT NULL, "
    "serialization_format TEXT NOT NULL, offered_qos_profiles TEXT NOT NULL);"
    "CREATE TABLE messages(id INTEGER PRIMARY KEY, topic_id INTEGER NOT NULL, "
    "timestamp INTEGER NOT NULL, data BLOB NOT NULL);"
    "CREATE INDEX timestamp_idx ON messages (timestamp ASC);"
    "BEGIN TRANSACTION;");
  std::map<std::string, std::int64_t> topic_ids;
  Statement insert_topic(
    db, "INSERT INTO topics(id, name, type, serialization_format, offered_qos_profiles) VALUES(?, ?, ?, ?, ?)");
  for (const auto & topic : topics) {
    const std::int64_t id = static_cast<std::int64_t>(topic_ids.size()) + 1;
    topic_ids[topic.name] = id;
    sqlite3_bind_int64(insert_topic.get(), 1, id);
    sqlite3_bind_text(insert_topic.get(), 2, topic.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_topic.get(), 3, topic.type.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_topic.get(), 4, topic.serialization_format.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_topic.get(), 5, topic.offered_qos_profiles.c_str(), -1, SQLITE_TRANSIENT);
    insert_topic.step();
    insert_topic.reset();
  }
  Statement insert_message(db, "INSERT INTO messages(topic_id, timestamp, data) VALUES(?, ?, ?)");
  for (const auto & message : messages) {
    const auto id = topic_ids.find(message.topic);
    if (id == topic_ids.end()) {
      throw RecordingError(db_path + ": message on unlisted topic '" + message.topic + "'");
    }
    sqlite3_bind_int64(insert_message.get(), 1, id->second);
    sqlite3_bind_int64(insert_message.get(), 2, message.timestamp);
    if (message.data.empty()) {
      // An empty vector has no data pointer, which sqlite would store as
      // NULL and the NOT NULL column refuses; store an empty blob instead.
      sqlite3_bind_zeroblob(insert_message.get(), 3, 0);
    } else {
      sqlite3_bind_blob(
        insert_message.get(), 3, message.data.data(), static_cast<int>(message.data.size()), SQLITE_TRANSIENT);
    }
    insert_message.step();
    insert_message.reset();
  }
  db.execute("COMMIT;");
}

}  // namespace

bool is_rosbag2(const std::string & path)
{
  std::error_code ignored;
  if (fs::is_directory(path, ignored)) {
    if (fs::exists(fs::path(path) / "metadata.yaml", ignored)) {
      return true;
    }
    for (const auto & entry : fs::directory_iterator(path, ignored)) {
      if (entry.path().extension() == ".db3" || entry.path().extension() == ".mcap") {
        return true;
      }
    }
    return false;
  }
  return starts_with_sqlite_header(path) || is_mcap_file(path);
}

std::vector<Rosbag2Message> read_rosbag2(const std::string & path)
{
  std::vector<std::string> files;
  if (fs::is_directory(path)) {
    files = database_files(path);
  } else if (fs::exists(path)) {
    files.push_back(path);
  } else {
    throw RecordingError(path + ": no such file or folder");
  }
  std::vector<Rosbag2Message> messages;
  for (const auto & file : files) {
    if (is_mcap_file(file)) {
      auto more = read_mcap(file);
      messages.insert(messages.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    } else {
      read_database(file, messages);
    }
  }
  if (files.size() > 1) {
    std::stable_sort(
      messages.begin(), messages.end(),
      [](const Rosbag2Message & a, const Rosbag2Message & b) {return a.timestamp < b.timestamp;});
  }
  return messages;
}

void write_rosbag2(
  const std::string & folder, const std::vector<Rosbag2Topic> & topics,
  const std::vector<Rosbag2Message> & messages)
{
  const fs::path folder_path = fs::path(folder).lexically_normal();
  const std::string name = (folder_path.filename().empty() ? folder_path.parent_path() : folder_path)
    .filename().string();
  const std::string db_name = name + "_0.db3";
  fs::create_directories(folder_path);
  if (fs::exists(folder_path / "metadata.yaml") || fs::exists(folder_path / db_name)) {
    throw RecordingError(folder + ": already holds a bag");
  }
  write_tables((folder_path / db_name).string(), topics, messages);
  std::ofstream metadata(folder_path / "metadata.yaml");
  metadata << metadata_yaml(db_name, topics, messages);
  if (!metadata) {
    throw RecordingError(folder + ": cannot write metadata.yaml");
  }
}

std::string default_qos_profiles(bool transient_local)
{
  std::ostringstream out;
  out << "- history: 3\n"
      << "  depth: 0\n"
      << "  reliability: 1\n"
      << "  durability: " << (transient_local ? 1 : 2) << "\n"
      << "  deadline:\n    sec: 9223372036\n    nsec: 854775807\n"
      << "  lifespan:\n    sec: 9223372036\n    nsec: 854775807\n"
      << "  liveliness: 1\n"
      << "  liveliness_lease_duration:\n    sec: 9223372036\n    nsec: 854775807\n"
      << "  avoid_ros_namespace_conventions: false";
  return out.str();
}

}  // namespace align_tools
