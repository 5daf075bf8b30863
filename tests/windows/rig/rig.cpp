// The Windows rig's test cases and runner. Run under Wine in three phases, each
// its own process (the bridge's binding cache lives as long as the process):
//   rig.exe absent  <bridge.dll> <class> <W|A> <test core to copy in>
//   rig.exe lacking <bridge.dll> <class> <W|A>
// "absent" starts with no Korvane.dll beside the rig, copies it in half way and
// then runs the forwarding tables; "lacking" runs beside a core without some
// entries. Prints one line per check and "N passed, N failed" at the end.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <type_traits>

#include "binding.h"
#include "rig.h"

using namespace rig;

namespace {

// ---- What the run knows -------------------------------------------------

HMODULE g_bridge;
std::string g_class;
char g_width;
int g_passed, g_failed;

uint32_t U32(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
uint32_t Str(const std::u16string& s) { return U32(NewJavaString(s)); }
uint32_t Bytes(const std::vector<int8_t>& b) { return U32(NewJavaBytes(b)); }
uint32_t Ints(const std::vector<int32_t>& i) { return U32(NewJavaInts(i)); }

// The methods, from the bridge's own list: name, whether the Java result is an
// object, and harmless arguments of the right kinds.
template <typename T> uint32_t Harmless();
template <> uint32_t Harmless<int>() { return 0; }
template <> uint32_t Harmless<const char*>() { return Str(u"x"); }
template <> uint32_t Harmless<const void*>() { return Bytes({1, 2, 3, 4}); }
template <typename R, typename... A>
std::vector<uint32_t> HarmlessFor(R(CORE_CALL*)(A...)) {
  return {Harmless<A>()...};
}

struct Method {
  const char* name;
  bool object_result;
  std::vector<uint32_t> (*harmless)();
};
const Method kMethods[] = {
#define BRIDGE_METHOD(name, result, params)                                  \
  {#name, !std::is_same<result, int>::value, [] {                            \
     std::vector<uint32_t> args = HarmlessFor(frame::core::name());          \
     if (std::strcmp(#name, "CreateHBITMAPfromRecordBinaryField") == 0)      \
       args.insert(args.begin(), Ints({0, 0}));                              \
     return args;                                                            \
   }},
#include "method_list.h"
#undef BRIDGE_METHOD
};

const Method& Find(const std::string& name) {
  for (const Method& m : kMethods)
    if (name == m.name) return m;
  std::printf("rig: unknown method %s\n", name.c_str());
  ExitProcess(4);
}

// The test core's scripting functions, once the bridge has loaded it.
struct {
  void (*reset)();
  void (*return_int)(const char*, int);
  void (*return_text)(const char*, const char*, int);
  void (*return_bytes)(const char*, const void*, int, uintptr_t);
  void (*return_image)(int, int, const uint32_t*, int, int);
  void* (*last_bitmap)();
  void (*leave_fpu)(int, int);
  const char* (*take_log)();
  const void* (*last_pointer)();
} core;

bool BindCore() {
  HMODULE module = GetModuleHandleW(L"Korvane.dll");
  if (!module) return false;
  auto find = [&](auto& slot, const char* name) {
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    return slot != nullptr;
  };
  return find(core.reset, "tc_reset") && find(core.return_int, "tc_return_int") &&
         find(core.return_text, "tc_return_text") && find(core.return_bytes, "tc_return_bytes") &&
         find(core.return_image, "tc_return_image") && find(core.last_bitmap, "tc_last_bitmap") &&
         find(core.leave_fpu, "tc_leave_fpu") && find(core.take_log, "tc_take_log") &&
         find(core.last_pointer, "tc_last_pointer");
}

// ---- Calling and checking -------------------------------------------------

void SetFpu(uint16_t control) {
  __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(control));
}

struct Result {
  Outcome outcome;
  std::vector<std::string> problems;  // JNI misuse, stack movement
  std::string log;                    // what the core received
  std::vector<Box> boxes;
  std::string value;                  // the result as the Java tests print it
};

Result Invoke(const std::string& method, const std::vector<uint32_t>& java_args, uint16_t fpu_before = 0x027F) {
  const std::string symbol = "Java_nist_1sun_1java_" + g_class + "_" + method;
  void* function = reinterpret_cast<void*>(GetProcAddress(g_bridge, symbol.c_str()));
  Result r{};
  if (!function) {
    r.problems.push_back("no export " + symbol);
    return r;
  }
  std::vector<uint32_t> args = {U32(Env()), U32(NewJavaString(u"class"))};
  args.insert(args.end(), java_args.begin(), java_args.end());
  BeginCall();
  SetFpu(fpu_before);
  r.outcome = Call(function, args);
  r.problems = EndCall();
  if (r.outcome.stack_delta != 0)
    r.problems.push_back("stack pointer moved by " + std::to_string(r.outcome.stack_delta) + " bytes");
  if (core.take_log) r.log = core.take_log();
  r.boxes = TakeBoxes();
  r.value = Find(method).object_result ? Describe(reinterpret_cast<Obj*>(r.outcome.result))
                                       : std::to_string(static_cast<int32_t>(r.outcome.result));
  return r;
}

class Check {
 public:
  explicit Check(std::string label) : label_(std::move(label)) {}
  ~Check() {
    if (failures_.empty()) {
      ++g_passed;
      std::printf("ok   %s\n", label_.c_str());
    } else {
      ++g_failed;
      std::printf("FAIL %s\n", label_.c_str());
      for (const std::string& f : failures_) std::printf("       %s\n", f.c_str());
    }
    std::fflush(stdout);
  }
  void That(bool ok, const std::string& what) {
    if (!ok) failures_.push_back(what);
  }
  void Equal(const std::string& expected, const std::string& actual, const std::string& what) {
    That(expected == actual, what + ": expected [" + expected + "], got [" + actual + "]");
  }
  void Clean(const Result& r) {
    for (const std::string& p : r.problems) failures_.push_back(p);
  }
  void ResetRan(const Result& r) {
    char text[64];
    std::snprintf(text, sizeof text, "x87 control 0x%04X status 0x%04X", r.outcome.control, r.outcome.status);
    That((r.outcome.control & ~0x40) == 0x133F && (r.outcome.status & 0x80FF) == 0,
         std::string(text) + " after a call that reached a result");
  }
  void Untouched(const Result& r, uint16_t control) {
    char text[64];
    std::snprintf(text, sizeof text, "x87 control 0x%04X, expected 0x%04X untouched", r.outcome.control, control);
    That(r.outcome.control == control, text);
  }
  void Boxes(const Result& r, const std::vector<std::string>& texts) {
    std::string expected, actual;
    for (const std::string& t : texts) expected += t + "|Error|0|0;";
    for (const Box& b : r.boxes)
      actual += b.text + "|" + b.caption + "|" + std::to_string(b.type) + "|" + (b.owner ? "owner" : "0") + ";";
    Equal(expected, actual, "message boxes (text|caption|type|owner)");
  }

 private:
  std::string label_;
  std::vector<std::string> failures_;
};

std::string Missing(const std::string& entry) { return "Unable to get " + entry + " function address"; }
const char kLoadFailure[] = "Unable to load Korvane.dll";

// ---- Tables ---------------------------------------------------------------

// A call that reaches the core: what to script, how to call, what the core
// must receive and what the caller must get back.
struct Forward {
  const char* label;
  const char* method;
  std::function<void()> script;
  std::function<std::vector<uint32_t>()> args;
  std::string log;
  std::string value;
};

std::vector<Forward> ForwardCases() {
  auto none = [] { return std::vector<uint32_t>{}; };
  auto size_and_bytes = [](int size, std::vector<int8_t> bytes, uintptr_t raw = 0) {
    return [=] {
      core.return_int("ReadSizeOfNISTByteArray", size);
      core.return_bytes("ReadNISTByteArray", bytes.empty() ? nullptr : bytes.data(),
                        static_cast<int>(bytes.size()), raw);
    };
  };
  const std::string byte_image_log = "ReadSizeOfNISTByteArray\nReadNISTByteArray\n";
  return {
      {"create: negative int result", "CreateNewNISTFile", [] { core.return_int("CreateNewNISTFile", -5); },
       none, "CreateNewNISTFile\n", "-5"},
      {"read file: path as modified UTF-8", "ReadNISTFromFile", [] { core.return_int("ReadNISTFromFile", 3); },
       [] { return std::vector<uint32_t>{Str(u"/t/\u00e9\u20ac\U0001D11E" + std::u16string(1, u'\0') + u".an2")}; },
       "ReadNISTFromFile \"/t/\\xC3\\xA9\\xE2\\x82\\xAC\\xED\\xA0\\xB4\\xED\\xB4\\x9E\\xC0\\x80.an2\"\n", "3"},
      {"read memory: the caller's int, not the length", "ReadNISTFromMemory",
       [] { core.return_int("ReadNISTFromMemory", 7); },
       [] { return std::vector<uint32_t>{Bytes({1, 2, 3, 4, 5}), 1 << 30}; },
       "ReadNISTFromMemory [01 02 03 04] 1073741824\n", "7"},
      {"write", "WriteNISTToFile", [] { core.return_int("WriteNISTToFile", INT32_MIN); },
       [] { return std::vector<uint32_t>{Str(u"out.an2")}; }, "WriteNISTToFile \"out.an2\"\n", "-2147483648"},
      {"size of byte image", "ReadSizeOfNISTByteArray", [] { core.return_int("ReadSizeOfNISTByteArray", 42); },
       none, "ReadSizeOfNISTByteArray\n", "42"},
      {"byte image: size entry first", "ReadNISTByteArray", size_and_bytes(3, {9, -8, 7}), none, byte_image_log,
       "bytes[9, -8, 7]"},
      {"byte image of one byte", "ReadNISTByteArray", size_and_bytes(1, {-1, 2}), none, byte_image_log, "bytes[-1]"},
      {"empty byte image: pointer not read", "ReadNISTByteArray", size_and_bytes(0, {}, 16), none, byte_image_log,
       "bytes[]"},
      {"negative size: null", "ReadNISTByteArray", size_and_bytes(-1, {}, 16), none, byte_image_log, "null"},
      {"null data with a size: null", "ReadNISTByteArray", size_and_bytes(2, {}), none, byte_image_log, "null"},
  };
}

// A null String or array argument: NullPointerException, core not called.
struct NullArgument {
  const char* method;
  std::function<std::vector<uint32_t>()> args;
  const char* message;
};

std::vector<NullArgument> NullArgumentCases() {
  return {
      {"ReadNISTFromFile", [] { return std::vector<uint32_t>{0}; }, "path is null"},
      {"WriteNISTToFile", [] { return std::vector<uint32_t>{0}; }, "path is null"},
      {"ReadNISTFromMemory", [] { return std::vector<uint32_t>{0, 4}; }, "data is null"},
  };
}

// Entries the lacking test core leaves out, and the message each method then shows.
std::vector<std::pair<std::string, std::string>> LackingCases() {
  return {
      {"WriteNISTToFile", Missing("WriteNISTToFile")},
      {"ReadSizeOfNISTByteArray", Missing("ReadSizeOfNISTByteArray")},
      {"ReadNISTByteArray", Missing("ReadSizeOfNISTByteArray")},
  };
}

// ---- Phases ---------------------------------------------------------------

void CheckExports() {
  Check check("every method exported under its plain JNI name");
  for (const Method& m : kMethods) {
    const std::string symbol = "Java_nist_1sun_1java_" + g_class + "_" + m.name;
    check.That(GetProcAddress(g_bridge, symbol.c_str()) != nullptr, "missing " + symbol);
  }
}

void AbsentPhase(const std::wstring& core_source) {
  for (const Method& m : kMethods) {
    Check check(std::string("core absent: ") + m.name + " shows the load failure once and returns 0");
    Result r = Invoke(m.name, m.harmless(), 0x027F);
    check.Clean(r);
    check.Equal(m.object_result ? "null" : "0", r.value, "result");
    check.Boxes(r, {kLoadFailure});
    check.Untouched(r, 0x027F);
    check.That(JniCalls().empty(), "JNI used before binding: " + (JniCalls().empty() ? "" : JniCalls()[0]));
    std::vector<std::string> loads = TakeLoads();
    check.That(loads.size() == 1 && loads[0] == std::string(1, g_width) + ":Korvane",
               "expected one load of \"Korvane\" through LoadLibrary" + std::string(1, g_width));
  }
  {
    Check check("core absent: a null argument still gets the load failure, no exception");
    Result r = Invoke("ReadNISTFromFile", {0});
    check.Clean(r);
    check.Boxes(r, {kLoadFailure});
    check.Equal("", PendingException(), "pending exception");
    TakeLoads();
  }

  wchar_t here[MAX_PATH];
  GetModuleFileNameW(nullptr, here, MAX_PATH);
  std::wstring target(here);
  target = target.substr(0, target.find_last_of(L"\\/") + 1) + L"Korvane.dll";
  if (!CopyFileW(core_source.c_str(), target.c_str(), FALSE)) {
    std::printf("rig: cannot copy the test core in\n");
    ExitProcess(4);
  }
  {
    Check check("core made available: the next call loads it and succeeds");
    Result r = Invoke("CreateNewNISTFile", {});
    check.Clean(r);
    check.Boxes(r, {});
    check.ResetRan(r);
    check.That(TakeLoads().size() == 1, "expected one load");
    check.That(BindCore(), "test core loaded and scriptable");
  }
}

void ForwardingPhase() {
  for (const Forward& f : ForwardCases()) {
    Check check(std::string(f.method) + ": " + f.label);
    core.reset();
    f.script();
    core.leave_fpu(0x027F, 1);
    Result r = Invoke(f.method, f.args());
    check.Clean(r);
    check.Boxes(r, {});
    check.ResetRan(r);
    check.Equal(f.log, r.log, "core received");
    check.Equal(f.value, r.value, "result");
  }
  {
    Check check("ReadNISTFromMemory: the core gets the elements pointer, released with JNI_ABORT after the call");
    core.reset();
    Result r = Invoke("ReadNISTFromMemory", {Bytes({1, 2, 3, 4}), 4});
    check.Clean(r);
    check.That(core.last_pointer() == LastElements(), "pointer passed is not the array's elements");
    check.That(Releases().size() == 1 && Releases()[0].mode == JNI_ABORT, "released once with JNI_ABORT");
  }
  for (const NullArgument& n : NullArgumentCases()) {
    Check check(std::string(n.method) + ": null argument throws NullPointerException");
    core.reset();
    core.leave_fpu(0x0272, 1);
    Result r = Invoke(n.method, n.args(), 0x027F);
    check.Clean(r);
    check.Equal(std::string("java/lang/NullPointerException: ") + n.message, PendingException(), "exception");
    check.Equal("", r.log, "core received");
    check.Equal(Find(n.method).object_result ? "null" : "0", r.value, "result");
    check.Untouched(r, 0x027F);
  }
  {
    Check check("ReadNISTByteArray: failed allocation returns null with the exception pending, reset done");
    core.reset();
    core.return_int("ReadSizeOfNISTByteArray", 1000);
    core.return_bytes("ReadNISTByteArray", nullptr, 0, 16);
    core.leave_fpu(0x027F, 1);
    FailNextAllocation();
    Result r = Invoke("ReadNISTByteArray", {});
    check.Clean(r);
    check.Equal("null", r.value, "result");
    check.Equal("java/lang/OutOfMemoryError: rig allocation failure", PendingException(), "exception");
    check.ResetRan(r);
  }
  {
    Check check("unmasked exception left pending by the core is cleared");
    core.reset();
    core.leave_fpu(0x0272, 1);
    Result r = Invoke("CreateNewNISTFile", {});
    check.Clean(r);
    check.ResetRan(r);
  }
}

void CachePhase() {
  for (const Method& m : kMethods) Invoke(m.name, m.harmless());
  Check check("binding cache: the core loaded once, each entry resolved once");
  check.That(TakeLoads().empty(), "the core was loaded again after it was bound");
  for (const Method& m : kMethods)
    check.Equal("1", std::to_string(Resolutions(std::string("_") + m.name)), std::string("resolutions of _") + m.name);
}

void LackingPhase() {
  // Loaded by the rig too, to read its log; the bridge still loads it itself.
  LoadLibraryW(L"Korvane.dll");
  if (!BindCore()) {
    std::printf("rig: no test core beside the rig\n");
    ExitProcess(4);
  }
  core.take_log();
  const auto lacking = LackingCases();
  for (const Method& m : kMethods) {
    std::string message;
    for (const auto& l : lacking)
      if (l.first == m.name) message = l.second;
    Check check(std::string("core lacking entries: ") + m.name +
                (message.empty() ? " works" : " shows \"" + message + "\" on each call"));
    for (int round = 0; round < 2; ++round) {
      Result r = Invoke(m.name, m.harmless(), 0x027F);
      check.Clean(r);
      if (message.empty()) {
        check.Boxes(r, {});
        check.ResetRan(r);
      } else {
        check.Boxes(r, {message});
        check.Equal(m.object_result ? "null" : "0", r.value, "result");
        check.Untouched(r, 0x027F);
        check.Equal("", r.log, "core received");
      }
    }
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::printf("usage: rig absent|lacking <bridge.dll> <class> <W|A> [test core]\n");
    return 2;
  }
  const std::wstring phase = argv[1];
  for (const wchar_t* c = argv[3]; *c; ++c) g_class += static_cast<char>(*c);
  g_width = static_cast<char>(argv[4][0]);

  g_bridge = LoadLibraryW(argv[2]);
  if (!g_bridge || !HookBridgeImports(g_bridge, g_width)) {
    std::printf("rig: cannot load or hook the bridge\n");
    return 2;
  }
  CheckExports();
  if (phase == L"absent" && argc > 5) {
    AbsentPhase(argv[5]);
    ForwardingPhase();
    CachePhase();
  } else if (phase == L"lacking") {
    LackingPhase();
  } else {
    std::printf("rig: unknown phase\n");
    return 2;
  }
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
