// Replaces the global operator new/delete so that the benchmarks can report
// heap allocations per scan. Sanitizers interpose on the same symbols, so the
// replacement is left out of those builds.
#include "allocation_counter.hpp"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ALIGN_BENCHMARK_COUNT_ALLOCATIONS 0
#else
#define ALIGN_BENCHMARK_COUNT_ALLOCATIONS 1
#endif

namespace align_benchmark
{
namespace
{

// Relaxed: the totals are read only between measured loops, and the node's
// transform worker may allocate from another thread.
std::atomic<std::uint64_t> g_count{0};
std::atomic<std::uint64_t> g_bytes{0};

}  // namespace

AllocationTotals allocation_totals()
{
  AllocationTotals totals;
  totals.count = g_count.load(std::memory_order_relaxed);
  totals.bytes = g_bytes.load(std::memory_order_relaxed);
  return totals;
}

bool allocations_are_counted()
{
  return ALIGN_BENCHMARK_COUNT_ALLOCATIONS != 0;
}

#if ALIGN_BENCHMARK_COUNT_ALLOCATIONS
namespace
{

void * counted_allocate(std::size_t size) noexcept
{
  g_count.fetch_add(1, std::memory_order_relaxed);
  g_bytes.fetch_add(size, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}

void * counted_aligned_allocate(std::size_t size, std::align_val_t alignment) noexcept
{
  g_count.fetch_add(1, std::memory_order_relaxed);
  g_bytes.fetch_add(size, std::memory_order_relaxed);
  const std::size_t align = static_cast<std::size_t>(alignment);
  // aligned_alloc wants a size that is a multiple of the alignment.
  const std::size_t rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;
  return std::aligned_alloc(align, rounded);
}

}  // namespace
#endif

}  // namespace align_benchmark

#if ALIGN_BENCHMARK_COUNT_ALLOCATIONS
void * operator new(std::size_t size)
{
  void * p = align_benchmark::counted_allocate(size);
  if (!p) {throw std::bad_alloc();}
  return p;
}
void * operator new[](std::size_t size)
{
  void * p = align_benchmark::counted_allocate(size);
  if (!p) {throw std::bad_alloc();}
  return p;
}
void * operator new(std::size_t size, const std::nothrow_t &) noexcept
{
  return align_benchmark::counted_allocate(size);
}
void * operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
  return align_benchmark::counted_allocate(size);
}
void * operator new(std::size_t size, std::align_val_t alignment)
{
  void * p = align_benchmark::counted_aligned_allocate(size, alignment);
  if (!p) {throw std::bad_alloc();}
  return p;
}
void * operator new[](std::size_t size, std::align_val_t alignment)
{
  void * p = align_benchmark::counted_aligned_allocate(size, alignment);
  if (!p) {throw std::bad_alloc();}
  return p;
}
void * operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept
{
  return align_benchmark::counted_aligned_allocate(size, alignment);
}
void * operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept
{
  return align_benchmark::counted_aligned_allocate(size, alignment);
}
void operator delete(void * p) noexcept {std::free(p);}
void operator delete[](void * p) noexcept {std::free(p);}
void operator delete(void * p, std::size_t) noexcept {std::free(p);}
void operator delete[](void * p, std::size_t) noexcept {std::free(p);}
void operator delete(void * p, const std::nothrow_t &) noexcept {std::free(p);}
void operator delete[](void * p, const std::nothrow_t &) noexcept {std::free(p);}
void operator delete(void * p, std::align_val_t) noexcept {std::free(p);}
void operator delete[](void * p, std::align_val_t) noexcept {std::free(p);}
void operator delete(void * p, std::size_t, std::align_val_t) noexcept {std::free(p);}
void operator delete[](void * p, std::size_t, std::align_val_t) noexcept {std::free(p);}
void operator delete(void * p, std::align_val_t, const std::nothrow_t &) noexcept {std::free(p);}
void operator delete[](void * p, std::align_val_t, const std::nothrow_t &) noexcept {std::free(p);}
#endif
