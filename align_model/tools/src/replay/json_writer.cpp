#include "align_tools/json_writer.hpp"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace align_tools
{
namespace
{

std::string non_finite(double value)
{
  if (std::isnan(value)) {
    return "\"nan\"";
  }
  return value > 0 ? "\"inf\"" : "\"-inf\"";
}

// Builds one JSON object field by field, in message order.
class Object
{
public:
  Object & field(const char * name, const std::string & json)
  {
    text_ += (text_.empty() ? "{" : ", ");
    text_ += json_string(name) + ": " + json;
    return *this;
  }
  std::string str() const {return text_.empty() ? "{}" : text_ + "}";}

private:
  std::string text_;
};

template<typename ElementT, typename FormatT>
std::string array(const std::vector<ElementT> & values, FormatT format)
{
  std::string text = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    text += (i == 0 ? "" : ", ") + format(values[i]);
  }
  return text + "]";
}

std::string integer(long long value) {return std::to_string(value);}
std::string boolean(bool value) {return value ? "true" : "false";}

std::string time_json(const builtin_interfaces::msg::Time & time)
{
  return Object().field("sec", integer(time.sec)).field("nanosec", integer(time.nanosec)).str();
}

std::string duration_json(const builtin_interfaces::msg::Duration & duration)
{
  return Object().field("sec", integer(duration.sec)).field("nanosec", integer(duration.nanosec)).str();
}

std::string header_json(const std_msgs::msg::Header & header)
{
  return Object().field("stamp", time_json(header.stamp)).field("frame_id", json_string(header.frame_id)).str();
}

std::string point_json(const geometry_msgs::msg::Point & point)
{
  return Object().field("x", json_double(point.x)).field("y", json_double(point.y))
         .field("z", json_double(point.z)).str();
}

std::string vector3_json(const geometry_msgs::msg::Vector3 & vector)
{
  return Object().field("x", json_double(vector.x)).field("y", json_double(vector.y))
         .field("z", json_double(vector.z)).str();
}

std::string quaternion_json(const geometry_msgs::msg::Quaternion & q)
{
  return Object().field("x", json_double(q.x)).field("y", json_double(q.y))
         .field("z", json_double(q.z)).field("w", json_double(q.w)).str();
}

std::string pose_json(const geometry_msgs::msg::Pose & pose)
{
  return Object().field("position", point_json(pose.position))
         .field("orientation", quaternion_json(pose.orientation)).str();
}

std::string color_json(const std_msgs::msg::ColorRGBA & color)
{
  return Object().field("r", json_float(color.r)).field("g", json_float(color.g))
         .field("b", json_float(color.b)).field("a", json_float(color.a)).str();
}

std::string bytes_json(const std::vector<std::uint8_t> & bytes)
{
  return array(bytes, [](std::uint8_t b) {return integer(b);});
}

}  // namespace

std::string json_float(float value)
{
  if (!std::isfinite(value)) {
    return non_finite(value);
  }
  char text[32];
  std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
  return text;
}

std::string json_double(double value)
{
  if (!std::isfinite(value)) {
    return non_finite(value);
  }
  char text[32];
  std::snprintf(text, sizeof(text), "%.17g", value);
  return text;
}

std::string json_string(const std::string & text)
{
  std::string quoted = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\t': quoted += "\\t"; break;
      case '\r': quoted += "\\r"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
          quoted += escaped;
        } else {
          quoted += static_cast<char>(c);
        }
    }
  }
  return quoted + "\"";
}

std::string to_json(const geometry_msgs::msg::PoseStamped & message)
{
  return Object().field("header", header_json(message.header)).field("pose", pose_json(message.pose)).str();
}

std::string to_json(const sensor_msgs::msg::LaserScan & message)
{
  return Object()
         .field("header", header_json(message.header))
         .field("angle_min", json_float(message.angle_min))
         .field("angle_max", json_float(message.angle_max))
         .field("angle_increment", json_float(message.angle_increment))
         .field("time_increment", json_float(message.time_increment))
         .field("scan_time", json_float(message.scan_time))
         .field("range_min", json_float(message.range_min))
         .field("range_max", json_float(message.range_max))
         .field("ranges", array(message.ranges, json_float))
         .field("intensities", array(message.intensities, json_float))
         .str();
}

std::string to_json(const visualization_msgs::msg::Marker & message)
{
  const std::string texture = Object()
    .field("header", header_json(message.texture.header))
    .field("format", json_string(message.texture.format))
    .field("data", bytes_json(message.texture.data)).str();
  const std::string mesh_file = Object()
    .field("filename", json_string(message.mesh_file.filename))
    .field("data", bytes_json(message.mesh_file.data)).str();
  return Object()
         .field("header", header_json(message.header))
         .field("ns", json_string(message.ns))
         .field("id", integer(message.id))
         .field("type", integer(message.type))
         .field("action", integer(message.action))
         .field("pose", pose_json(message.pose))
         .field("scale", vector3_json(message.scale))
         .field("color", color_json(message.color))
         .field("lifetime", duration_json(message.lifetime))
         .field("frame_locked", boolean(message.frame_locked))
         .field("points", array(message.points, point_json))
         .field("colors", array(message.colors, color_json))
         .field("texture_resource", json_string(message.texture_resource))
         .field("texture", texture)
         .field("uv_coordinates", array(message.uv_coordinates, [](const auto & uv) {
             return Object().field("u", json_float(uv.u)).field("v", json_float(uv.v)).str();
           }))
         .field("text", json_string(message.text))
         .field("mesh_resource", json_string(message.mesh_resource))
         .field("mesh_file", mesh_file)
         .field("mesh_use_embedded_materials", boolean(message.mesh_use_embedded_materials))
         .str();
}

std::string to_json(const diagnostic_msgs::msg::DiagnosticArray & message)
{
  const auto key_value_json = [](const diagnostic_msgs::msg::KeyValue & entry) {
      return Object().field("key", json_string(entry.key)).field("value", json_string(entry.value)).str();
    };
  const auto status_json = [&](const diagnostic_msgs::msg::DiagnosticStatus & status) {
      return Object()
             .field("level", integer(status.level))
             .field("name", json_string(status.name))
             .field("message", json_string(status.message))
             .field("hardware_id", json_string(status.hardware_id))
             .field("values", array(status.values, key_value_json))
             .str();
    };
  return Object()
         .field("header", header_json(message.header))
         .field("status", array(message.status, status_json))
         .str();
}

std::string published_line(
  std::size_t scan_index, const std::string & topic, const std::string & type, const std::string & message_json)
{
  return Object()
         .field("scan", std::to_string(scan_index))
         .field("topic", json_string(topic))
         .field("type", json_string(type))
         .field("msg", message_json)
         .str();
}

}  // namespace align_tools
