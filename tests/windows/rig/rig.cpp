// The Windows rig's test cases and runner. Run under Wine in three phases, each
// its own process (the bridge's binding cache lives as long as the process):
//   rig.exe absent  <bridge.dll> <class> <W|A> <test core to copy in>
//   rig.exe lacking <bridge.dll> <class> <W|A>
//   rig.exe pair    <bridge.dll> <class> <W|A> <second bridge.dll> <class> <W|A>
// "absent" starts with no Korvane.dll beside the rig, copies it in half way and
// then runs the forwarding tables; "lacking" runs beside a core without some
// entries; "pair" loads both bridges beside the test core. Prints one line per check and "N passed, N failed" at the end.
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

using Bitmap = platform::Bitmap;

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
  void (*return_image)(int, int, int, const uint32_t*, int);
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
  auto ints = [](std::vector<uint32_t> values) { return [=] { return values; }; };
  auto ints_text = [](std::vector<uint32_t> values, std::u16string s) {
    return [=] {
      std::vector<uint32_t> args = values;
      args.push_back(Str(s));
      return args;
    };
  };
  auto text = [](const char* entry, const char* value) {
    return [=] { core.return_text(entry, value, value ? static_cast<int>(std::strlen(value)) : 0); };
  };
  auto field_bytes = [](int size, std::vector<int8_t> bytes, uintptr_t raw = 0) {
    return [=] {
      core.return_int("ReadSizeOfRecordBinaryField", size);
      core.return_bytes("ReadRecordBinaryField", bytes.empty() ? nullptr : bytes.data(),
                        static_cast<int>(bytes.size()), raw);
    };
  };
  const std::string field_log = "ReadSizeOfRecordBinaryField 14 1\nReadRecordBinaryField 14 1\n";
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
      {"byte image: size entry first", "ReadNISTByteArray", size_and_bytes(3, {9, -8, 7}), none, byte_image_log,
       "bytes[9, -8, 7]"},
      {"byte image of one byte", "ReadNISTByteArray", size_and_bytes(1, {-1, 2}), none, byte_image_log, "bytes[-1]"},
      {"empty byte image: pointer not read", "ReadNISTByteArray", size_and_bytes(0, {}, 16), none, byte_image_log,
       "bytes[]"},
      {"negative size: null", "ReadNISTByteArray", size_and_bytes(-1, {}, 16), none, byte_image_log, "null"},
      {"null data with a size: null", "ReadNISTByteArray", size_and_bytes(2, {}), none, byte_image_log, "null"},
      // After the reader, which bound this entry itself.
      {"size of byte image", "ReadSizeOfNISTByteArray", [] { core.return_int("ReadSizeOfNISTByteArray", 42); },
       none, "ReadSizeOfNISTByteArray\n", "42"},

      {"ints in order", "CheckIfRecordTypeExists", [] { core.return_int("CheckIfRecordTypeExists", 1); },
       ints({14}), "CheckIfRecordTypeExists 14\n", "1"},
      {"ints in order", "ReadNumberOfRecords", [] { core.return_int("ReadNumberOfRecords", -1); }, ints({2}),
       "ReadNumberOfRecords 2\n", "-1"},
      {"ints in order", "ReadIDCofRecord", [] { core.return_int("ReadIDCofRecord", -7); }, ints({10, uint32_t(-3)}),
       "ReadIDCofRecord 10 -3\n", "-7"},
      {"ints in order", "DeleteRecord", [] { core.return_int("DeleteRecord", 1); }, ints({10, 2}),
       "DeleteRecord 10 2\n", "1"},

      {"string result", "ReadRecordTxtField", text("ReadRecordTxtField", "Smith"), ints_text({1, 2, 3}, u"TCN"),
       "ReadRecordTxtField 1 2 3 \"TCN\"\n", "\"Smith\""},
      {"null text gives null", "ReadRecordTxtField", text("ReadRecordTxtField", nullptr),
       ints_text({1, 2, 3}, u"TCN"), "ReadRecordTxtField 1 2 3 \"TCN\"\n", "null"},
      {"size", "ReadSizeOfRecordTxtField", [] { core.return_int("ReadSizeOfRecordTxtField", 5); },
       ints_text({1, 2, 3}, u"TCN"), "ReadSizeOfRecordTxtField 1 2 3 \"TCN\"\n", "5"},
      {"three ints, no string", "ReadRecordTxtFieldName", text("ReadRecordTxtFieldName", "NAM"), ints({1, 2, 3}),
       "ReadRecordTxtFieldName 1 2 3\n", "\"NAM\""},
      {"four arguments with a string", "ReadSizeOfRecordTxtFieldName",
       [] { core.return_int("ReadSizeOfRecordTxtFieldName", 3); }, ints_text({1, 2, 3}, u"x"),
       "ReadSizeOfRecordTxtFieldName 1 2 3 \"x\"\n", "3"},
      {"string result", "ReadRecordTxtFieldDescription", text("ReadRecordTxtFieldDescription", "Date"),
       ints_text({1, 2, 3}, u"d"), "ReadRecordTxtFieldDescription 1 2 3 \"d\"\n", "\"Date\""},
      {"size", "ReadSizeOfRecordTxtFieldDescription",
       [] { core.return_int("ReadSizeOfRecordTxtFieldDescription", 4); }, ints_text({1, 2, 3}, u"d"),
       "ReadSizeOfRecordTxtFieldDescription 1 2 3 \"d\"\n", "4"},
      {"empty text stays empty", "ReadRecordExportedTxtFields", text("ReadRecordExportedTxtFields", ""),
       ints({1, 2}), "ReadRecordExportedTxtFields 1 2\n", "\"\""},
      {"size", "ReadSizeOfRecordExportedTxtFields",
       [] { core.return_int("ReadSizeOfRecordExportedTxtFields", 0); }, ints({1, 2}),
       "ReadSizeOfRecordExportedTxtFields 1 2\n", "0"},
      {"two strings in order", "InsertRecordTxtField", [] { core.return_int("InsertRecordTxtField", 1); },
       [] { return std::vector<uint32_t>{2, 1, 18, Str(u"NAM"), Str(u"\u00dcnal")}; },
       "InsertRecordTxtField 2 1 18 \"NAM\" \"\\xC3\\x9Cnal\"\n", "1"},

      {"size entry first", "ReadRecordBinaryField", field_bytes(4, {1, 2, 3, 4}), ints({14, 1}),
       field_log, "bytes[1, 2, 3, 4]"},
      {"empty field: pointer not read", "ReadRecordBinaryField", field_bytes(0, {}, 16), ints({14, 1}),
       field_log, "bytes[]"},
      {"negative size: null", "ReadRecordBinaryField", field_bytes(-5, {}, 16), ints({14, 1}), field_log, "null"},
      {"size", "ReadSizeOfRecordBinaryField", [] { core.return_int("ReadSizeOfRecordBinaryField", 1024); },
       ints({14, 1}), "ReadSizeOfRecordBinaryField 14 1\n", "1024"},
      {"path", "InsertRecordBinaryFieldFromFile", [] { core.return_int("InsertRecordBinaryFieldFromFile", 1); },
       [] { return std::vector<uint32_t>{14, 1, Str(u"C:\\f.wsq")}; },
       "InsertRecordBinaryFieldFromFile 14 1 \"C:\\x5Cf.wsq\"\n", "1"},
      {"eight values in the Java order", "InsertRecordBinaryFieldFromMemory",
       [] { core.return_int("InsertRecordBinaryFieldFromMemory", 9); },
       [] { return std::vector<uint32_t>{14, 1, Bytes({5, 6, 7, 8}), 2, Str(u"WSQ"), 500, uint32_t(-1), 7}; },
       "InsertRecordBinaryFieldFromMemory 14 1 [05 06 07 08] 2 \"WSQ\" 500 -1 7\n", "9"},

      {"mode", "SetKorvaneErrorReportMode", [] { core.return_int("SetKorvaneErrorReportMode", 1); }, ints({2}),
       "SetKorvaneErrorReportMode 2\n", "1"},
      {"text", "ReadKorvaneLastErrorMessage", text("ReadKorvaneLastErrorMessage", "no record"), none,
       "ReadKorvaneLastErrorMessage\n", "\"no record\""},
      {"empty text", "ReadKorvaneLastErrorMessage", text("ReadKorvaneLastErrorMessage", ""), none,
       "ReadKorvaneLastErrorMessage\n", "\"\""},
      {"4-byte UTF-8 becomes a surrogate pair", "ReadKorvaneLastErrorMessage",
       text("ReadKorvaneLastErrorMessage", "a\xF0\x9F\x98\x80"), none, "ReadKorvaneLastErrorMessage\n",
       "\"a\\uD83D\\uDE00\""},
      {"stray and cut-short bytes keep their values", "ReadKorvaneLastErrorMessage",
       text("ReadKorvaneLastErrorMessage", "\xC9-\xE2\x82"), none, "ReadKorvaneLastErrorMessage\n",
       "\"\\u00C9-\\u00E2\\u0082\""},
  };
}

// An argument the bridge refuses (a null String or array, a dimension array
// too short): the exception, and the core not called.
struct NullArgument {
  const char* method;
  std::function<std::vector<uint32_t>()> args;
  std::string exception;
};

std::vector<NullArgument> NullArgumentCases() {
  const std::string npe = "java/lang/NullPointerException: ";
  auto args = [](std::vector<uint32_t> values) { return [=] { return values; }; };
  return {
      {"ReadNISTFromFile", args({0}), npe + "path is null"},
      {"WriteNISTToFile", args({0}), npe + "path is null"},
      {"ReadNISTFromMemory", args({0, 4}), npe + "data is null"},
      {"ReadRecordTxtField", args({1, 2, 3, 0}), npe + "text is null"},
      {"ReadSizeOfRecordTxtField", args({1, 2, 3, 0}), npe + "text is null"},
      {"ReadSizeOfRecordTxtFieldName", args({1, 2, 3, 0}), npe + "text is null"},
      {"ReadRecordTxtFieldDescription", args({1, 2, 3, 0}), npe + "text is null"},
      {"ReadSizeOfRecordTxtFieldDescription", args({1, 2, 3, 0}), npe + "text is null"},
      {"InsertRecordTxtField", [] { return std::vector<uint32_t>{1, 2, 3, 0, Str(u"v")}; }, npe + "name is null"},
      {"InsertRecordTxtField", [] { return std::vector<uint32_t>{1, 2, 3, Str(u"n"), 0}; }, npe + "value is null"},
      {"InsertRecordBinaryFieldFromFile", args({1, 2, 0}), npe + "path is null"},
      {"InsertRecordBinaryFieldFromMemory", [] { return std::vector<uint32_t>{1, 2, 0, 4, Str(u"t"), 0, 0, 0}; },
       npe + "data is null"},
      {"InsertRecordBinaryFieldFromMemory", args({1, 2, 0, 4, 0, 0, 0, 0}), npe + "text is null"},
      {"CreateHBITMAPfromRecordBinaryField", args({0, 1, 2}), npe + "dimensions is null"},
      {"CreateHBITMAPfromRecordBinaryField", [] { return std::vector<uint32_t>{Ints({0}), 1, 2}; },
       "java/lang/ArrayIndexOutOfBoundsException: dimensions must have at least 2 elements (width, height)"},
  };
}

// Entries the lacking test core leaves out, and the message each method then shows.
std::vector<std::pair<std::string, std::string>> LackingCases() {
  return {
      {"WriteNISTToFile", Missing("WriteNISTToFile")},
      {"ReadSizeOfNISTByteArray", Missing("ReadSizeOfNISTByteArray")},
      {"ReadNISTByteArray", Missing("ReadSizeOfNISTByteArray")},
      {"ReadIDCofRecord", Missing("ReadIDCofRecord")},
      {"ReadSizeOfRecordBinaryField", Missing("ReadSizeOfRecordBinaryField")},
      {"ReadRecordBinaryField", Missing("ReadSizeOfRecordBinaryField")},
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
    Check check(std::string(n.method) + ": " + n.exception);
    core.reset();
    core.leave_fpu(0x0272, 1);
    Result r = Invoke(n.method, n.args(), 0x027F);
    check.Clean(r);
    check.Equal(n.exception, PendingException(), "exception");
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

void InsertFromMemoryOrder() {
  Check check("InsertRecordBinaryFieldFromMemory: string converted before the elements, both released after");
  core.reset();
  Result r = Invoke("InsertRecordBinaryFieldFromMemory", {1, 2, Bytes({1, 2, 3, 4}), 4, Str(u"t"), 0, 0, 0});
  check.Clean(r);
  std::string order;
  for (const std::string& call : JniCalls()) order += call + " ";
  check.Equal("GetStringUTFChars GetByteArrayElements ReleaseByteArrayElements ReleaseStringUTFChars ", order,
              "JNI calls");
  check.That(core.last_pointer() == LastElements(), "pointer passed is not the array's elements");
  check.That(Releases().size() == 2 && Releases()[0].mode == JNI_ABORT, "elements released with JNI_ABORT");
}

// Images through real GDI: DIB sections made by the test core.
void ImageCases() {
  const uint32_t red = 0x00FF0000, green = 0x0000FF00, blue = 0x000000FF;
  const std::vector<uint32_t> pixels = {red, green, blue, 0x00123456, 0x00FFFFFF, 0};
  const std::string expected = "ints[16711680, 65280, 255, 1193046, 16777215, 0]";
  auto gone = [](void* handle) { return GetObjectType(static_cast<HGDIOBJ>(handle)) == 0; };

  for (int bottom_up = 0; bottom_up < 2; ++bottom_up) {
    Check check(std::string("image: 3 x 2 ") + (bottom_up ? "bottom-up" : "top-down") +
                " bitmap gives its size and pixels top row first, then bitmap and DC are deleted");
    core.reset();
    core.return_image(1, 3, 2, pixels.data(), bottom_up);
    core.leave_fpu(0x027F, 1);
    Obj* dims = NewJavaInts({9, 9, 7, 7});
    Result r = Invoke("CreateHBITMAPfromRecordBinaryField", {U32(dims), 4, 5});
    check.Clean(r);
    check.Equal("CreateHBITMAPfromRecordBinaryField 4 5\n", r.log, "core received");
    check.Equal(expected, r.value, "pixels");
    check.Equal("ints[3, 2, 7, 7]", Describe(dims), "dimension array");
    check.ResetRan(r);
    check.That(gone(core.last_bitmap()), "bitmap not deleted");
    check.That(LastMemoryContext() && gone(LastMemoryContext()), "memory DC not deleted");
    for (const Release& release : Releases()) check.That(release.mode == 0, "critical release not mode 0");
  }
  {
    Check check("image: null bitmap leaves the dimension array and the x87 word as they were");
    core.reset();
    core.return_image(0, 0, 0, nullptr, 0);
    Obj* dims = NewJavaInts({5, 6});
    Result r = Invoke("CreateHBITMAPfromRecordBinaryField", {U32(dims), 1, 2}, 0x027F);
    check.Clean(r);
    check.Equal("null", r.value, "result");
    check.Equal("ints[5, 6]", Describe(dims), "dimension array");
    check.Untouched(r, 0x027F);
  }
  {
    Check check("image: a handle that is no bitmap reads as 0 x 0");
    core.reset();
    core.return_image(2, 0, 0, nullptr, 0);
    Obj* dims = NewJavaInts({5, 6});
    Result r = Invoke("CreateHBITMAPfromRecordBinaryField", {U32(dims), 1, 2});
    check.Clean(r);
    check.Equal("ints[]", r.value, "result");
    check.Equal("ints[0, 0]", Describe(dims), "dimension array");
    check.ResetRan(r);
  }
  {
    Check check("image: failed pixel allocation returns null, bitmap and DC still deleted");
    core.reset();
    core.return_image(1, 3, 2, pixels.data(), 0);
    core.leave_fpu(0x027F, 1);
    Obj* dims = NewJavaInts({0, 0});
    FailNextAllocation();
    Result r = Invoke("CreateHBITMAPfromRecordBinaryField", {U32(dims), 1, 2});
    check.Clean(r);
    check.Equal("null", r.value, "result");
    check.Equal("ints[3, 2]", Describe(dims), "dimension array");
    check.Equal("java/lang/OutOfMemoryError: rig allocation failure", PendingException(), "exception");
    check.ResetRan(r);
    check.That(gone(core.last_bitmap()), "bitmap not deleted");
    check.That(gone(LastMemoryContext()), "memory DC not deleted");
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
        // The test core renders nothing unless asked: a null bitmap, so no reset.
        if (std::strcmp(m.name, "CreateHBITMAPfromRecordBinaryField") == 0) check.Untouched(r, 0x027F);
        else check.ResetRan(r);
      } else {
        check.Boxes(r, {message});
        check.Equal(m.object_result ? "null" : "0", r.value, "result");
        check.Untouched(r, 0x027F);
        check.Equal("", r.log, "core received");
      }
    }
  }
}

// Both bridges in one process: each binds on its own, both reach the one core.
void PairPhase(HMODULE second, const std::string& second_class, char second_width) {
  const HMODULE first = g_bridge;
  const std::string first_class = g_class;
  const char first_width = g_width;
  if (!HookBridgeImports(second, second_width)) {
    std::printf("rig: cannot hook the second bridge\n");
    ExitProcess(2);
  }
  auto use = [&](HMODULE bridge, const std::string& name, char width) {
    g_bridge = bridge;
    g_class = name;
    g_width = width;
  };
  Check check("two bridges in one process: each loads the core itself, both act on the one core");
  use(first, first_class, first_width);
  Result created = Invoke("CreateNewNISTFile", {});
  check.Clean(created);
  check.That(BindCore(), "test core loaded");
  core.reset();
  core.return_int("ReadIDCofRecord", 77);
  use(second, second_class, second_width);
  Result read = Invoke("ReadIDCofRecord", {2, 1});
  check.Clean(read);
  check.Boxes(read, {});
  check.Equal("77", read.value, "result scripted in the core reached through the first bridge");
  check.Equal("ReadIDCofRecord 2 1\n", read.log, "core received");
  std::string loads;
  for (const std::string& load : TakeLoads()) loads += load + " ";
  check.Equal(std::string(1, first_width) + ":Korvane " + second_width + ":Korvane ", loads, "loads");
  check.Equal("1", std::to_string(Resolutions("_CreateNewNISTFile")), "resolutions by the first bridge");
  check.Equal("1", std::to_string(Resolutions("_ReadIDCofRecord")), "resolutions by the second bridge");
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
    InsertFromMemoryOrder();
    ImageCases();
    CachePhase();
  } else if (phase == L"lacking") {
    LackingPhase();
  } else if (phase == L"pair" && argc > 7) {
    std::string second_class;
    for (const wchar_t* c = argv[6]; *c; ++c) second_class += static_cast<char>(*c);
    HMODULE second = LoadLibraryW(argv[5]);
    if (!second) {
      std::printf("rig: cannot load the second bridge\n");
      return 2;
    }
    PairPhase(second, second_class, static_cast<char>(argv[7][0]));
  } else {
    std::printf("rig: unknown phase\n");
    return 2;
  }
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
