// Stand-in for rosidl_runtime_cpp::BoundedVector: a vector whose size the
// generated code never lets exceed UpperBound.
#ifndef STANDIN_ROSIDL_RUNTIME_CPP__BOUNDED_VECTOR_HPP_
#define STANDIN_ROSIDL_RUNTIME_CPP__BOUNDED_VECTOR_HPP_

#include <cstddef>
#include <vector>

namespace rosidl_runtime_cpp
{
template<typename Tp, std::size_t UpperBound>
class BoundedVector : public std::vector<Tp>
{
public:
  using std::vector<Tp>::vector;
  static constexpr std::size_t max_size_static() {return UpperBound;}
};
}  // namespace rosidl_runtime_cpp

#endif  // STANDIN_ROSIDL_RUNTIME_CPP__BOUNDED_VECTOR_HPP_
