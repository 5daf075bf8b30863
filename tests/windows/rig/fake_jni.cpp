// The rig's JNIEnv: a function table whose every entry the bridge has no
// business calling ends the run with its name, and whose other entries model
// Java strings and arrays and record each Get and its Release.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

#include "rig.h"

namespace rig {
namespace {

// The entries of the JNI function table in order, read from the JDK's jni.h
// by the build.
const char* const kNames[] = {
#include "jni_function_names.inc"
};
constexpr unsigned kCount = sizeof kNames / sizeof kNames[0];

void* g_table[kCount];
void* g_env = g_table;  // a JNIEnv is a pointer to the table pointer

struct Held {
  std::string what;
  Obj* object;
};
std::map<const void*, Held> g_held;
std::vector<std::string> g_problems;
std::vector<Release> g_releases;
std::vector<std::string> g_calls;
const void* g_last_elements;
std::string g_exception;
int g_critical;
bool g_fail_allocation;

void Problem(const std::string& text) { g_problems.push_back(text); }

// Every entry point notes its call, and whether it was allowed just now.
void Enter(const char* name, bool allowed_while_pending = false, bool critical_op = false) {
  g_calls.push_back(name);
  if (g_critical > 0 && !critical_op)
    Problem(std::string(name) + " called inside a critical region");
  if (!g_exception.empty() && !allowed_while_pending)
    Problem(std::string(name) + " called with an exception pending");
}

template <unsigned I>
void __stdcall Forbidden() {
  std::printf("FAIL: the bridge called JNIEnv::%s, which it must not use\n", kNames[I]);
  std::fflush(stdout);
  ExitProcess(3);
}

template <unsigned... I>
void FillForbidden(std::integer_sequence<unsigned, I...>) {
  ((g_table[I] = reinterpret_cast<void*>(&Forbidden<I>)), ...);
}

std::string ModifiedUtf8(const std::u16string& chars) {
  std::string out;
  for (char16_t c : chars) {
    if (c != 0 && c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Decodes modified UTF-8 strictly, as the JNI defines it for NewStringUTF.
bool FromModifiedUtf8(const unsigned char* p, std::u16string* out) {
  auto cont = [](unsigned char b) { return (b & 0xC0) == 0x80; };
  while (*p) {
    if (*p < 0x80) {
      *out += *p++;
    } else if ((*p == 0xC0 && p[1] == 0x80) || (*p >= 0xC2 && *p <= 0xDF && cont(p[1]))) {
      *out += static_cast<char16_t>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F));
      p += 2;
    } else if ((*p == 0xE0 && p[1] >= 0xA0 && p[1] <= 0xBF && cont(p[2])) ||
               (*p >= 0xE1 && *p <= 0xEF && cont(p[1]) && cont(p[2]))) {
      *out += static_cast<char16_t>(((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
      p += 3;
    } else {
      return false;
    }
  }
  return true;
}

Obj* Expect(Obj* object, Obj::Kind kind, const char* function) {
  if (!object) Problem(std::string(function) + " given null");
  else if (object->kind != kind) Problem(std::string(function) + " given the wrong kind of object");
  return object;
}

void* Hold(const void* pointer, const std::string& what, Obj* object) {
  g_held[pointer] = Held{what, object};
  return const_cast<void*>(pointer);
}

// Looks up and forgets what a Release names; false if it was never obtained.
bool Unhold(const void* pointer, const std::string& what, Obj* object, const char* function) {
  auto found = g_held.find(pointer);
  if (found == g_held.end() || found->second.what != what || found->second.object != object) {
    Problem(std::string(function) + " releases something not obtained with its Get");
    return false;
  }
  g_held.erase(found);
  return true;
}

Obj* Allocate(Obj* object) {
  if (g_fail_allocation) {
    g_fail_allocation = false;
    g_exception = "java/lang/OutOfMemoryError: rig allocation failure";
    delete object;
    return nullptr;
  }
  return object;
}

// The modelled entries (stdcall, as the JNI's JNICALL is on 32-bit Windows).

Obj* __stdcall FindClass(void*, const char* name) {
  Enter("FindClass");
  return new Obj{Obj::kClass, {}, {}, {}, name};
}

int32_t __stdcall ThrowNew(void*, Obj* type, const char* message) {
  Enter("ThrowNew");
  Expect(type, Obj::kClass, "ThrowNew");
  g_exception = type->name + ": " + (message ? message : "(null)");
  return 0;
}

uint8_t __stdcall ExceptionCheck(void*) {
  Enter("ExceptionCheck", true);
  return !g_exception.empty();
}

void __stdcall DeleteLocalRef(void*, Obj*) { Enter("DeleteLocalRef", true); }

Obj* __stdcall NewString(void*, const char16_t* chars, int32_t length) {
  Enter("NewString");
  return new Obj{Obj::kString, std::u16string(chars, chars + length), {}, {}, {}};
}

Obj* __stdcall NewStringUTF(void*, const char* utf) {
  Enter("NewStringUTF");
  std::u16string chars;
  if (!FromModifiedUtf8(reinterpret_cast<const unsigned char*>(utf), &chars))
    Problem("NewStringUTF given bytes that are not modified UTF-8");
  return new Obj{Obj::kString, chars, {}, {}, {}};
}

const char* __stdcall GetStringUTFChars(void*, Obj* string, uint8_t* is_copy) {
  Enter("GetStringUTFChars");
  if (!Expect(string, Obj::kString, "GetStringUTFChars")) return nullptr;
  if (is_copy) *is_copy = 1;
  const std::string utf = ModifiedUtf8(string->chars);
  char* copy = static_cast<char*>(std::malloc(utf.size() + 1));
  std::memcpy(copy, utf.c_str(), utf.size() + 1);
  return static_cast<const char*>(Hold(copy, "string chars", string));
}

void __stdcall ReleaseStringUTFChars(void*, Obj* string, const char* chars) {
  Enter("ReleaseStringUTFChars", true);
  g_releases.push_back({"ReleaseStringUTFChars", 0});
  if (Unhold(chars, "string chars", string, "ReleaseStringUTFChars"))
    std::free(const_cast<char*>(chars));
}

int32_t __stdcall GetArrayLength(void*, Obj* array) {
  Enter("GetArrayLength");
  if (!array) return Problem("GetArrayLength given null"), 0;
  return static_cast<int32_t>(array->kind == Obj::kIntArray ? array->ints.size() : array->bytes.size());
}

Obj* __stdcall NewByteArray(void*, int32_t length) {
  Enter("NewByteArray");
  if (length < 0) Problem("NewByteArray given a negative length");
  return Allocate(new Obj{Obj::kByteArray, {}, std::vector<int8_t>(length < 0 ? 0 : length), {}, {}});
}

Obj* __stdcall NewIntArray(void*, int32_t length) {
  Enter("NewIntArray");
  if (length < 0) Problem("NewIntArray given a negative length");
  return Allocate(new Obj{Obj::kIntArray, {}, {}, std::vector<int32_t>(length < 0 ? 0 : length), {}});
}

void __stdcall SetByteArrayRegion(void*, Obj* array, int32_t start, int32_t length, const int8_t* bytes) {
  Enter("SetByteArrayRegion");
  if (!Expect(array, Obj::kByteArray, "SetByteArrayRegion")) return;
  if (start < 0 || length < 0 || static_cast<size_t>(start) + length > array->bytes.size())
    return Problem("SetByteArrayRegion out of bounds");
  std::memcpy(array->bytes.data() + start, bytes, length);
}

// Elements are always copies, so a missing copy-back or a use after release shows.
int8_t* __stdcall GetByteArrayElements(void*, Obj* array, uint8_t* is_copy) {
  Enter("GetByteArrayElements");
  if (!Expect(array, Obj::kByteArray, "GetByteArrayElements")) return nullptr;
  if (is_copy) *is_copy = 1;
  int8_t* copy = static_cast<int8_t*>(std::malloc(array->bytes.size() + 1));
  std::memcpy(copy, array->bytes.data(), array->bytes.size());
  g_last_elements = copy;
  return static_cast<int8_t*>(Hold(copy, "byte elements", array));
}

void CopyBack(Obj* array, const void* elements, int32_t mode) {
  if (mode == JNI_ABORT) return;
  if (array->kind == Obj::kByteArray) std::memcpy(array->bytes.data(), elements, array->bytes.size());
  else std::memcpy(array->ints.data(), elements, sizeof(int32_t) * array->ints.size());
}

void __stdcall ReleaseByteArrayElements(void*, Obj* array, int8_t* elements, int32_t mode) {
  Enter("ReleaseByteArrayElements", true);
  g_releases.push_back({"ReleaseByteArrayElements", mode});
  if (!Unhold(elements, "byte elements", array, "ReleaseByteArrayElements")) return;
  CopyBack(array, elements, mode);
  if (mode == JNI_COMMIT) Hold(elements, "byte elements", array);
  else std::free(elements);
}

void* __stdcall GetPrimitiveArrayCritical(void*, Obj* array, uint8_t* is_copy) {
  Enter("GetPrimitiveArrayCritical", false, true);
  if (!array) return Problem("GetPrimitiveArrayCritical given null"), nullptr;
  if (is_copy) *is_copy = 1;
  const size_t size = array->kind == Obj::kIntArray ? sizeof(int32_t) * array->ints.size() : array->bytes.size();
  void* copy = std::malloc(size + 4);
  std::memcpy(copy, array->kind == Obj::kIntArray ? static_cast<void*>(array->ints.data())
                                                   : static_cast<void*>(array->bytes.data()), size);
  ++g_critical;
  return Hold(copy, "critical elements", array);
}

void __stdcall ReleasePrimitiveArrayCritical(void*, Obj* array, void* elements, int32_t mode) {
  Enter("ReleasePrimitiveArrayCritical", true, true);
  g_releases.push_back({"ReleasePrimitiveArrayCritical", mode});
  if (!Unhold(elements, "critical elements", array, "ReleasePrimitiveArrayCritical")) return;
  --g_critical;
  CopyBack(array, elements, mode);
  if (mode == JNI_COMMIT) {
    Hold(elements, "critical elements", array);
    ++g_critical;
  } else {
    std::free(elements);
  }
}

void Install(const char* name, void* function) {
  for (unsigned i = 0; i < kCount; ++i)
    if (std::strcmp(kNames[i], name) == 0) {
      g_table[i] = function;
      return;
    }
  std::printf("rig: no JNI function named %s\n", name);
  ExitProcess(4);
}

bool BuildTable() {
  FillForbidden(std::make_integer_sequence<unsigned, kCount>());
#define INSTALL(name) Install(#name, reinterpret_cast<void*>(&name))
  INSTALL(FindClass);
  INSTALL(ThrowNew);
  INSTALL(ExceptionCheck);
  INSTALL(DeleteLocalRef);
  INSTALL(NewString);
  INSTALL(NewStringUTF);
  INSTALL(GetStringUTFChars);
  INSTALL(ReleaseStringUTFChars);
  INSTALL(GetArrayLength);
  INSTALL(NewByteArray);
  INSTALL(NewIntArray);
  INSTALL(SetByteArrayRegion);
  INSTALL(GetByteArrayElements);
  INSTALL(ReleaseByteArrayElements);
  INSTALL(GetPrimitiveArrayCritical);
  INSTALL(ReleasePrimitiveArrayCritical);
#undef INSTALL
  return true;
}

}  // namespace

void* Env() {
  static bool built = BuildTable();
  (void)built;
  return &g_env;
}

Obj* NewJavaString(const std::u16string& chars) { return new Obj{Obj::kString, chars, {}, {}, {}}; }
Obj* NewJavaBytes(const std::vector<int8_t>& bytes) { return new Obj{Obj::kByteArray, {}, bytes, {}, {}}; }
Obj* NewJavaInts(const std::vector<int32_t>& ints) { return new Obj{Obj::kIntArray, {}, {}, ints, {}}; }

std::string Describe(const Obj* result) {
  if (!result) return "null";
  std::string out;
  char buffer[16];
  switch (result->kind) {
    case Obj::kString:
      out = "\"";
      for (char16_t c : result->chars) {
        if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
        else std::snprintf(buffer, sizeof buffer, "\\u%04X", c), out += buffer;
      }
      return out + "\"";
    case Obj::kByteArray:
      out = "bytes[";
      for (size_t i = 0; i < result->bytes.size(); ++i) out += (i ? ", " : "") + std::to_string(result->bytes[i]);
      return out + "]";
    case Obj::kIntArray:
      out = "ints[";
      for (size_t i = 0; i < result->ints.size(); ++i) out += (i ? ", " : "") + std::to_string(result->ints[i]);
      return out + "]";
    case Obj::kClass:
      return "class " + result->name;
  }
  return "?";
}

void BeginCall() {
  g_problems.clear();
  g_releases.clear();
  g_calls.clear();
  g_exception.clear();
  g_held.clear();
  g_critical = 0;
  g_last_elements = nullptr;
}

std::vector<std::string> EndCall() {
  for (const auto& held : g_held) g_problems.push_back(held.second.what + " still held after the call");
  if (g_critical) g_problems.push_back("critical region still open after the call");
  return g_problems;
}

const std::vector<Release>& Releases() { return g_releases; }
const std::vector<std::string>& JniCalls() { return g_calls; }
const void* LastElements() { return g_last_elements; }
std::string PendingException() { return g_exception; }
void FailNextAllocation() { g_fail_allocation = true; }

}  // namespace rig
