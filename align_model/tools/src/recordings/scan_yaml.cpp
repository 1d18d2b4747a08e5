#include "align_tools/scan_yaml.hpp"

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

const char kTruncationMark[] = "...";

// A field error; the caller adds which message it belongs to.
class FieldError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

YAML::Node require(const YAML::Node & parent, const char * key, const std::string & path)
{
  const YAML::Node node = parent[key];
  if (!node) {
    throw FieldError("missing field '" + path + key + "'");
  }
  return node;
}

// YAML 1.1 spellings of the special values, as ROS 2 prints them.
bool parse_special(const std::string & text, double & value)
{
  static const char * const nan_spellings[] = {".nan", ".NaN", ".NAN"};
  static const char * const inf_spellings[] = {".inf", ".Inf", ".INF", "+.inf", "+.Inf", "+.INF"};
  static const char * const minus_inf_spellings[] = {"-.inf", "-.Inf", "-.INF"};
  for (const char * spelling : nan_spellings) {
    if (text == spelling) {value = std::numeric_limits<double>::quiet_NaN(); return true;}
  }
  for (const char * spelling : inf_spellings) {
    if (text == spelling) {value = std::numeric_limits<double>::infinity(); return true;}
  }
  for (const char * spelling : minus_inf_spellings) {
    if (text == spelling) {value = -std::numeric_limits<double>::infinity(); return true;}
  }
  return false;
}

double parse_number(const YAML::Node & node, const std::string & name)
{
  if (!node.IsScalar()) {
    throw FieldError("field '" + name + "' is not a number");
  }
  const std::string & text = node.Scalar();
  double value = 0.0;
  if (parse_special(text, value)) {
    return value;
  }
  errno = 0;
  char * end = nullptr;
  value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) {
    throw FieldError("field '" + name + "' holds '" + text + "', not a number");
  }
  return value;
}

float parse_float(const YAML::Node & parent, const char * key)
{
  return static_cast<float>(parse_number(require(parent, key, ""), key));
}

template<typename IntegerT>
IntegerT parse_integer(const YAML::Node & parent, const char * key, const std::string & path)
{
  const std::string name = path + key;
  const double value = parse_number(require(parent, key, path), name);
  if (!(value >= static_cast<double>(std::numeric_limits<IntegerT>::min()) &&
    value <= static_cast<double>(std::numeric_limits<IntegerT>::max())) || std::floor(value) != value)
  {
    throw FieldError("field '" + name + "' is not a valid integer");
  }
  return static_cast<IntegerT>(value);
}

std::vector<float> parse_float_array(const YAML::Node & parent, const char * key)
{
  const YAML::Node node = require(parent, key, "");
  if (node.IsNull()) {
    return {};
  }
  if (!node.IsSequence()) {
    throw FieldError("field '" + std::string(key) + "' is not a list");
  }
  std::vector<float> values;
  values.reserve(node.size());
  for (std::size_t i = 0; i < node.size(); ++i) {
    const YAML::Node element = node[i];
    if (element.IsScalar() && element.Scalar() == kTruncationMark) {
      throw FieldError(
              "'" + std::string(key) + "' was truncated by ros2 topic echo after " + std::to_string(i) +
              " elements (it ends with '...'); record the scans with 'ros2 topic echo --full-length'");
    }
    values.push_back(static_cast<float>(parse_number(element, std::string(key) + "[" + std::to_string(i) + "]")));
  }
  return values;
}

sensor_msgs::msg::LaserScan parse_scan(const YAML::Node & document)
{
  if (!document.IsMap()) {
    throw FieldError("not a LaserScan message (a YAML mapping is expected)");
  }
  sensor_msgs::msg::LaserScan scan;
  const YAML::Node header = require(document, "header", "");
  const YAML::Node stamp = require(header, "stamp", "header.");
  scan.header.stamp.sec = parse_integer<std::int32_t>(stamp, "sec", "header.stamp.");
  scan.header.stamp.nanosec = parse_integer<std::uint32_t>(stamp, "nanosec", "header.stamp.");
  const YAML::Node frame = require(header, "frame_id", "header.");
  scan.header.frame_id = frame.IsNull() ? std::string() : frame.as<std::string>();
  scan.angle_min = parse_float(document, "angle_min");
  scan.angle_max = parse_float(document, "angle_max");
  scan.angle_increment = parse_float(document, "angle_increment");
  scan.time_increment = parse_float(document, "time_increment");
  scan.scan_time = parse_float(document, "scan_time");
  scan.range_min = parse_float(document, "range_min");
  scan.range_max = parse_float(document, "range_max");
  scan.ranges = parse_float_array(document, "ranges");
  scan.intensities = parse_float_array(document, "intensities");
  return scan;
}

void write_float(std::ostream & out, float value)
{
  if (std::isnan(value)) {
    out << ".nan";
  } else if (std::isinf(value)) {
    out << (value > 0 ? ".inf" : "-.inf");
  } else {
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    out << text;
    // Keep it a float to YAML readers: "1" would read as an integer.
    if (std::string(text).find_first_of(".e") == std::string::npos) {
      out << ".0";
    }
  }
}

void write_float_array(std::ostream & out, const char * key, const std::vector<float> & values)
{
  out << key << ':';
  if (values.empty()) {
    out << " []\n";
    return;
  }
  out << '\n';
  for (float value : values) {
    out << "- ";
    write_float(out, value);
    out << '\n';
  }
}

// Records where each document starts; a document that starts where the
// previous one did means that the parser no longer consumes anything.
class DocumentStarts : public YAML::EventHandler
{
public:
  void OnDocumentStart(const YAML::Mark & mark) override
  {
    stuck_ = started_ && mark.pos == last_.pos;
    started_ = true;
    last_ = mark;
  }
  void OnDocumentEnd() override {}
  void OnNull(const YAML::Mark &, YAML::anchor_t) override {}
  void OnAlias(const YAML::Mark &, YAML::anchor_t) override {}
  void OnScalar(const YAML::Mark &, const std::string &, YAML::anchor_t, const std::string &) override {}
  void OnSequenceStart(const YAML::Mark &, const std::string &, YAML::anchor_t, YAML::EmitterStyle::value) override {}
  void OnSequenceEnd() override {}
  void OnMapStart(const YAML::Mark &, const std::string &, YAML::anchor_t, YAML::EmitterStyle::value) override {}
  void OnMapEnd() override {}

  bool stuck() const {return stuck_;}
  const YAML::Mark & mark() const {return last_;}

private:
  bool started_ = false;
  bool stuck_ = false;
  YAML::Mark last_;
};

// yaml-cpp 0.7 (Debian 12) reports an endless series of empty documents for
// a stray ',' in block context, so YAML::LoadAll never returns and fills the
// memory. One pass over the events first finds such a spot and refuses it.
void ensure_parser_advances(const std::string & text, const std::string & source_name)
{
  std::istringstream in(text);
  YAML::Parser parser(in);
  DocumentStarts starts;
  while (parser.HandleNextDocument(starts)) {
    if (starts.stuck()) {
      throw RecordingError(
              source_name + ": not readable as YAML: the parser makes no progress at line " +
              std::to_string(starts.mark().line + 1) + ", column " + std::to_string(starts.mark().column + 1));
    }
  }
}

}  // namespace

std::vector<sensor_msgs::msg::LaserScan> read_scan_yaml(std::istream & in, const std::string & source_name)
{
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<YAML::Node> documents;
  try {
    ensure_parser_advances(text, source_name);
    documents = YAML::LoadAll(text);
  } catch (const YAML::Exception & error) {
    throw RecordingError(source_name + ": not readable as YAML: " + error.what());
  }
  std::vector<sensor_msgs::msg::LaserScan> scans;
  for (const auto & document : documents) {
    // `ros2 topic echo` ends every message with "---", which leaves an
    // empty document at the end.
    if (!document || document.IsNull()) {
      continue;
    }
    try {
      scans.push_back(parse_scan(document));
    } catch (const std::exception & error) {
      throw RecordingError(source_name + ": scan " + std::to_string(scans.size()) + ": " + error.what());
    }
  }
  return scans;
}

std::vector<sensor_msgs::msg::LaserScan> read_scan_yaml_file(const std::string & path)
{
  std::ifstream in(path);
  if (!in) {
    throw RecordingError(path + ": cannot open");
  }
  return read_scan_yaml(in, path);
}

void write_scan_yaml(std::ostream & out, const sensor_msgs::msg::LaserScan & scan)
{
  out << "header:\n"
      << "  stamp:\n"
      << "    sec: " << scan.header.stamp.sec << '\n'
      << "    nanosec: " << scan.header.stamp.nanosec << '\n'
      << "  frame_id: " << scan.header.frame_id << '\n';
  const std::pair<const char *, float> scalars[] = {
    {"angle_min", scan.angle_min}, {"angle_max", scan.angle_max},
    {"angle_increment", scan.angle_increment}, {"time_increment", scan.time_increment},
    {"scan_time", scan.scan_time}, {"range_min", scan.range_min}, {"range_max", scan.range_max}};
  for (const auto & [key, value] : scalars) {
    out << key << ": ";
    write_float(out, value);
    out << '\n';
  }
  write_float_array(out, "ranges", scan.ranges);
  write_float_array(out, "intensities", scan.intensities);
  out << "---\n";
}

}  // namespace align_tools
