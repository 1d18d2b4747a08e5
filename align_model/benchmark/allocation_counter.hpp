#ifndef BENCHMARK__ALLOCATION_COUNTER_HPP_
#define BENCHMARK__ALLOCATION_COUNTER_HPP_

#include <cstdint>

namespace align_benchmark
{

// Totals of every operator new in the process since it started.
struct AllocationTotals
{
  std::uint64_t count = 0;
  std::uint64_t bytes = 0;
};

AllocationTotals allocation_totals();

// False in sanitizer builds, where the sanitizer owns operator new and the
// totals stay zero.
bool allocations_are_counted();

}  // namespace align_benchmark

#endif  // BENCHMARK__ALLOCATION_COUNTER_HPP_
