// Stand-in for the traits that rosidl generates for every interface type.
#ifndef STANDIN_ROSIDL_RUNTIME_CPP__TRAITS_HPP_
#define STANDIN_ROSIDL_RUNTIME_CPP__TRAITS_HPP_

#include <type_traits>

namespace rosidl_generator_traits
{
// "pkg/msg/Name" of an interface type; specialised next to each type.
template<typename T>
inline const char * name();

// "pkg::msg::Name" of an interface type; specialised next to each type.
template<typename T>
inline const char * data_type();

template<typename T>
struct is_message : std::false_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_ROSIDL_RUNTIME_CPP__TRAITS_HPP_
