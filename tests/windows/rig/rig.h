// The Windows rig: loads the real bridge DLL under Wine and calls its exports
// with a JNIEnv of its own that models Java strings and arrays and records what
// the bridge obtains and releases.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rig {

// A Java object of the model. jobject, jstring and the array types are
// pointers to these.
struct Obj {
  enum Kind { kString, kByteArray, kIntArray, kClass } kind;
  std::u16string chars;        // kString
  std::vector<int8_t> bytes;   // kByteArray
  std::vector<int32_t> ints;   // kIntArray
  std::string name;            // kClass
};

Obj* NewJavaString(const std::u16string& chars);
Obj* NewJavaBytes(const std::vector<int8_t>& bytes);
Obj* NewJavaInts(const std::vector<int32_t>& ints);
std::string Describe(const Obj* result);  // same form as the Java tests print

// The JNIEnv* handed to the bridge.
void* Env();

// Starts a call: forgets the previous call's records.
void BeginCall();
// Problems seen since BeginCall: forbidden functions, calls while a critical
// region or an exception is pending, bad releases, anything still held.
std::vector<std::string> EndCall();

// Release modes, as the JNI numbers them.
constexpr int32_t JNI_COMMIT = 1;
constexpr int32_t JNI_ABORT = 2;

struct Release {
  std::string function;
  int32_t mode;
};
const std::vector<Release>& Releases();         // since BeginCall
const std::vector<std::string>& JniCalls();     // function names since BeginCall
const void* LastElements();                     // last pointer from GetByteArrayElements
std::string PendingException();                 // "class: message", or ""
void FailNextAllocation();                      // the next New*Array returns null with OOM pending

// Calls a stdcall export with 32-bit arguments through a thunk that reads the
// x87 words straight after the call and measures how far the stack pointer moved.
struct Outcome {
  uint32_t result;
  uint16_t control;
  uint16_t status;
  int32_t stack_delta;
};
Outcome Call(void* function, const std::vector<uint32_t>& args);

// Import hooks on the bridge DLL: message boxes recorded, library loads and
// symbol look-ups counted, memory device contexts remembered.
struct Box {
  std::string text, caption;
  uint32_t type;
  void* owner;
};
bool HookBridgeImports(void* bridge, char width);
std::vector<Box> TakeBoxes();
std::vector<std::string> TakeLoads();          // "W:name" or "A:name"
int Resolutions(const std::string& symbol);    // GetProcAddress calls for it
void* LastMemoryContext();

}  // namespace rig
