// The test executable's own operator new: the runtime's (malloc, bad_alloc
// when that fails) until a FailingAllocations is alive, then every request
// of its size or more fails as on a system out of memory. The nothrow and
// array forms of the runtime go through this one.
#include <cstdlib>
#include <new>

#include "tests/win/win_test_support.h"

namespace {

size_t failFrom = 0;
bool failing = false;

}  // namespace

void* operator new(std::size_t bytes) {
  if (failing && bytes >= failFrom) throw std::bad_alloc();
  void* p = std::malloc(bytes != 0 ? bytes : 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace wintest {

FailingAllocations::FailingAllocations(size_t fromBytes) {
  failFrom = fromBytes;
  failing = true;
}

FailingAllocations::~FailingAllocations() { failing = false; }

}  // namespace wintest
