# Build-time generation of C++ message structs from .msg files, for builds
# without the ROS 2 interface generators.
# Cached so that the function finds it from any directory that calls it.
set(STANDIN_GENERATE_MSG_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/generate_msg.cmake" CACHE INTERNAL "")

# standin_generate_interfaces(<target> <package> <msg files...>)
# Creates the INTERFACE library <target> whose include directory holds
# <package>/msg/<snake_name>.hpp for every message, regenerated whenever its
# .msg file changes.
function(standin_generate_interfaces target package)
  set(include_dir "${CMAKE_CURRENT_BINARY_DIR}/standin_generated")
  set(headers "")
  foreach(msg_file IN LISTS ARGN)
    get_filename_component(msg_path "${msg_file}" ABSOLUTE)
    get_filename_component(msg_name "${msg_file}" NAME_WE)
    string(REGEX REPLACE "([a-z0-9])([A-Z])" "\\1_\\2" snake "${msg_name}")
    string(REGEX REPLACE "([A-Z])([A-Z][a-z])" "\\1_\\2" snake "${snake}")
    string(TOLOWER "${snake}" snake)
    set(header "${include_dir}/${package}/msg/${snake}.hpp")
    add_custom_command(
      OUTPUT "${header}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${include_dir}/${package}/msg"
      COMMAND "${CMAKE_COMMAND}" -DMSG_FILE=${msg_path} -DPACKAGE=${package}
              -DOUTPUT=${header} -P "${STANDIN_GENERATE_MSG_SCRIPT}"
      DEPENDS "${msg_path}" "${STANDIN_GENERATE_MSG_SCRIPT}"
      COMMENT "Generating ${package}/msg/${snake}.hpp from ${msg_name}.msg"
      VERBATIM)
    list(APPEND headers "${header}")
  endforeach()
  add_custom_target(${target}_generate DEPENDS ${headers})
  add_library(${target} INTERFACE)
  add_dependencies(${target} ${target}_generate)
  target_include_directories(${target} INTERFACE "${include_dir}")
  target_link_libraries(${target} INTERFACE ros2_standin)
endfunction()
