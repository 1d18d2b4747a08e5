// Stand-in for pluginlib/class_list_macros.hpp: PLUGINLIB_EXPORT_CLASS
// registers a factory of the class under its name as written in the macro
// (the `type` of plugins.xml), where the stand-in's ClassLoader finds it.
#ifndef PLUGINLIB__CLASS_LIST_MACROS_HPP_
#define PLUGINLIB__CLASS_LIST_MACROS_HPP_

#include <type_traits>

#include "pluginlib/class_loader.hpp"

#define PLUGINLIB_STANDIN_CONCAT_INNER(a, b) a ## b
#define PLUGINLIB_STANDIN_CONCAT(a, b) PLUGINLIB_STANDIN_CONCAT_INNER(a, b)

#define PLUGINLIB_EXPORT_CLASS(class_type, base_class_type) \
  static_assert(std::is_base_of<base_class_type, class_type>::value, \
    #class_type " must derive from " #base_class_type); \
  namespace \
  { \
  const bool PLUGINLIB_STANDIN_CONCAT(pluginlib_standin_registered_, __LINE__) = \
    ::pluginlib::standin::register_class<class_type, base_class_type>(#class_type); \
  }

#endif  // PLUGINLIB__CLASS_LIST_MACROS_HPP_
