// Concurrent first calls of the binding cache, run under ThreadSanitizer: eight
// threads bind the same and different entries at the same moment; each must
// get the entry's one address, and the sanitizer must see no data race.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "binding.h"

namespace {
constexpr unsigned kThreads = 8;
constexpr unsigned kEntries = static_cast<unsigned>(frame::Entry::kCount);
const char* const kSymbols[] = {
#define BRIDGE_METHOD(name, result, params) "_" #name,
#include "method_list.h"
#undef BRIDGE_METHOD
};
}  // namespace

int main() {
  std::atomic<unsigned> ready{0};
  std::vector<std::vector<CoreProc>> seen(kThreads, std::vector<CoreProc>(kEntries));
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ready.fetch_add(1);
      while (ready.load() < kThreads) {
      }
      // Every thread starts with the same entry, then walks the list from its own offset.
      frame::BindEntry(static_cast<frame::Entry>(0));
      for (unsigned i = 0; i < kEntries; ++i) {
        const unsigned e = (i + t * 3) % kEntries;
        seen[t][e] = frame::BindEntry(static_cast<frame::Entry>(e));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  void* core = dlopen("libKorvane.so", RTLD_NOW | RTLD_NOLOAD);
  int failed = 0;
  for (unsigned e = 0; e < kEntries; ++e) {
    const CoreProc expected = core ? reinterpret_cast<CoreProc>(dlsym(core, kSymbols[e])) : nullptr;
    for (unsigned t = 0; t < kThreads; ++t) {
      if (!expected || seen[t][e] != expected) {
        std::printf("FAIL: thread %u bound %s to %p, expected %p\n", t, kSymbols[e],
                    reinterpret_cast<void*>(seen[t][e]), reinterpret_cast<void*>(expected));
        ++failed;
      }
    }
  }
  std::printf("%u passed, %d failed\n", kEntries * kThreads - failed, failed);
  return failed ? 1 : 0;
}
