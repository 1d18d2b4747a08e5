# Generates the C++ struct of one ROS 2 message definition (.msg) in the layout
# that the real interface generator gives it: namespace <pkg>::msg, struct <Name>,
# header <pkg>/msg/<snake_name>.hpp. Only fixed-size primitive fields, defaults
# and constants are supported; that is all our own interfaces use.
#
# Run as: cmake -DMSG_FILE=... -DPACKAGE=... -DOUTPUT=... -P generate_msg.cmake

foreach(var MSG_FILE PACKAGE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "generate_msg.cmake: ${var} is not set")
  endif()
endforeach()

get_filename_component(msg_name "${MSG_FILE}" NAME_WE)

set(cxx_bool bool)
set(cxx_byte "unsigned char")
set(cxx_char "unsigned char")
set(cxx_float32 float)
set(cxx_float64 double)
foreach(bits 8 16 32 64)
  set(cxx_int${bits} int${bits}_t)
  set(cxx_uint${bits} uint${bits}_t)
endforeach()

file(STRINGS "${MSG_FILE}" lines)
set(fields "")
set(constants "")
set(compare "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "#.*$" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  if(line MATCHES "^([a-z0-9]+)[ \t]+([A-Z][A-Z0-9_]*)[ \t]*=[ \t]*(.+)$")
    set(type "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    set(value "${CMAKE_MATCH_3}")
    if(NOT DEFINED cxx_${type})
      message(FATAL_ERROR "${MSG_FILE}: unsupported constant type '${type}'")
    endif()
    string(APPEND constants "  static constexpr ${cxx_${type}} ${name} = ${value};\n")
  elseif(line MATCHES "^([a-z0-9]+)[ \t]+([a-z][a-z0-9_]*)([ \t]+(.+))?$")
    set(type "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    set(value "${CMAKE_MATCH_4}")
    if(NOT DEFINED cxx_${type})
      message(FATAL_ERROR "${MSG_FILE}: unsupported field type '${type}' (fixed-size primitives only)")
    endif()
    if(value STREQUAL "")
      set(value "0")
      if(type STREQUAL "bool")
        set(value "false")
      endif()
    endif()
    string(APPEND fields "  using _${name}_type = ${cxx_${type}};\n  ${cxx_${type}} ${name}{${value}};\n")
    if(compare STREQUAL "")
      string(APPEND compare "${name} == other.${name}")
    else()
      string(APPEND compare " &&\n      ${name} == other.${name}")
    endif()
  else()
    message(FATAL_ERROR "${MSG_FILE}: cannot read line '${line}'")
  endif()
endforeach()
if(compare STREQUAL "")
  message(FATAL_ERROR "${MSG_FILE}: a message needs at least one field")
endif()

string(TOUPPER "${PACKAGE}__MSG__${msg_name}" guard)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${msg_name}.msg by generate_msg.cmake; do not edit.
#ifndef ${guard}_HPP_
#define ${guard}_HPP_

#include <cstdint>
#include <memory>

#include \"rosidl_runtime_cpp/message_initialization.hpp\"
#include \"rosidl_runtime_cpp/traits.hpp\"

namespace ${PACKAGE}
{
namespace msg
{

struct ${msg_name}
{
  using Type = ${msg_name};
  explicit ${msg_name}(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<${msg_name}>;
  using ConstSharedPtr = std::shared_ptr<const ${msg_name}>;
  using UniquePtr = std::unique_ptr<${msg_name}>;
  using ConstUniquePtr = std::unique_ptr<const ${msg_name}>;

${constants}${fields}
  bool operator==(const ${msg_name} & other) const
  {
    return ${compare};
  }
  bool operator!=(const ${msg_name} & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace ${PACKAGE}

namespace rosidl_generator_traits
{
template<>
inline const char * name<${PACKAGE}::msg::${msg_name}>() {return \"${PACKAGE}/msg/${msg_name}\";}
template<>
inline const char * data_type<${PACKAGE}::msg::${msg_name}>() {return \"${PACKAGE}::msg::${msg_name}\";}
template<>
struct is_message<${PACKAGE}::msg::${msg_name}>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // ${guard}_HPP_
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
