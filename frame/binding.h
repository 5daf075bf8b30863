// The binding cache: the core module handle and one entry slot per method,
// process-wide, filled on first use and never cleared.
#pragma once

#include <atomic>

#include "core_call.h"
#include "platform.h"

namespace frame {

enum class Entry : unsigned {
#define BRIDGE_METHOD(name, result, params) name,
#include "method_list.h"
#undef BRIDGE_METHOD
  kCount
};

// The C type of each core entry.
namespace core {
using Bitmap = platform::Bitmap;
#define BRIDGE_METHOD(name, result, params) using name = result(CORE_CALL*) params;
#include "method_list.h"
#undef BRIDGE_METHOD
}  // namespace core

template <Entry E>
struct EntryType;
#define BRIDGE_METHOD(name, result, params) \
  template <>                               \
  struct EntryType<Entry::name> {           \
    using type = core::name;                \
  };
#include "method_list.h"
#undef BRIDGE_METHOD

extern std::atomic<CoreProc> g_entry_slots[static_cast<unsigned>(Entry::kCount)];

// Loads the core if it is not loaded yet, resolves the entry, stores what was
// found and shows the failure message when something is missing.
CoreProc BindEntrySlow(Entry entry);

// A resolved slot implies a loaded core, so after the first call one load
// is the whole cost of binding.
inline CoreProc BindEntry(Entry entry) {
  CoreProc proc = g_entry_slots[static_cast<unsigned>(entry)].load(std::memory_order_acquire);
  return proc ? proc : BindEntrySlow(entry);
}

// The core entry of method E, ready to call, or null after the failure message
// has been shown.
template <Entry E>
inline typename EntryType<E>::type Bind() {
  return reinterpret_cast<typename EntryType<E>::type>(BindEntry(E));
}

}  // namespace frame
