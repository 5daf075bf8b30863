// The binding cache and the failure report for missing core parts.
#include "binding.h"

namespace frame {
namespace {

constexpr const char kCoreName[] = "Korvane";
constexpr const char kCaption[] = "Error";
constexpr const char kLoadFailure[] = "Unable to load Korvane.dll";

constexpr const char* kSymbols[] = {
#define BRIDGE_METHOD(name, result, params) "_" #name,
#include "method_list.h"
#undef BRIDGE_METHOD
};

constexpr const char* kResolveFailures[] = {
#define BRIDGE_METHOD(name, result, params) "Unable to get " #name " function address",
#include "method_list.h"
#undef BRIDGE_METHOD
};

// Concurrent first calls may each load the library or resolve a symbol; they
// store the same value, and the atomics keep that free of data races.
std::atomic<void*> g_core_module{nullptr};

}  // namespace

std::atomic<CoreProc> g_entry_slots[static_cast<unsigned>(Entry::kCount)];

CoreProc BindEntrySlow(Entry entry) {
  void* module = g_core_module.load(std::memory_order_acquire);
  if (!module) {
    module = platform::LoadLibraryByName(kCoreName);
    g_core_module.store(module, std::memory_order_release);
  }
  if (!module) {
    platform::ShowMessage(kLoadFailure, kCaption);
    return nullptr;
  }
  const unsigned index = static_cast<unsigned>(entry);
  CoreProc proc = platform::FindSymbol(module, kSymbols[index]);
  g_entry_slots[index].store(proc, std::memory_order_release);
  if (!proc) platform::ShowMessage(kResolveFailures[index], kCaption);
  return proc;
}

}  // namespace frame
