// JNI helper of the Java tests: scripts the test core, reads back what it
// received, and reads or sets the x87 state between bridge calls.
#include <dlfcn.h>
#include <jni.h>

#include <cstdint>
#include <vector>

namespace {

// Not cached while absent: some tests make the core available mid-run.
void* Core() {
  static void* core;
  if (!core) core = dlopen("libKorvane.so", RTLD_NOW);
  return core;
}

template <typename F>
F Find(const char* name) {
  void* core = Core();
  return core ? reinterpret_cast<F>(dlsym(core, name)) : nullptr;
}

struct Utf {
  Utf(JNIEnv* env, jstring s) : env(env), s(s), chars(env->GetStringUTFChars(s, nullptr)) {}
  ~Utf() { env->ReleaseStringUTFChars(s, chars); }
  JNIEnv* env;
  jstring s;
  const char* chars;
};

std::vector<char> Bytes(JNIEnv* env, jbyteArray array) {
  std::vector<char> out(env->GetArrayLength(array));
  env->GetByteArrayRegion(array, 0, static_cast<jsize>(out.size()), reinterpret_cast<jbyte*>(out.data()));
  return out;
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_reset(JNIEnv*, jclass) {
  Find<void (*)()>("tc_reset")();
}

JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_quiet(JNIEnv*, jclass, jboolean quiet) {
  Find<void (*)(int)>("tc_quiet")(quiet);
}

JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_returnInt(JNIEnv* env, jclass, jstring entry, jint value) {
  Utf name(env, entry);
  Find<void (*)(const char*, int)>("tc_return_int")(name.chars, value);
}

JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_returnText(JNIEnv* env, jclass, jstring entry, jbyteArray text) {
  Utf name(env, entry);
  auto set = Find<void (*)(const char*, const char*, int)>("tc_return_text");
  if (!text) return set(name.chars, nullptr, 0);
  std::vector<char> bytes = Bytes(env, text);
  bytes.push_back(0);  // keeps data() non-null for empty text
  set(name.chars, bytes.data(), static_cast<int>(bytes.size() - 1));
}

JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_returnBytes(JNIEnv* env, jclass, jstring entry, jbyteArray data) {
  Utf name(env, entry);
  auto set = Find<void (*)(const char*, const void*, int, uintptr_t)>("tc_return_bytes");
  if (!data) return set(name.chars, nullptr, 0, 0);
  std::vector<char> bytes = Bytes(env, data);
  bytes.push_back(0);  // keeps data() valid for an empty array
  set(name.chars, bytes.data(), static_cast<int>(bytes.size() - 1), 0);
}

// A data pointer that must not be read: the first page is never mapped.
JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_returnUnreadable(JNIEnv* env, jclass, jstring entry) {
  Utf name(env, entry);
  Find<void (*)(const char*, const void*, int, uintptr_t)>("tc_return_bytes")(name.chars, nullptr, 0, 16);
}

JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_returnImage(JNIEnv* env, jclass, jint kind, jint width,
                                                              jint height, jintArray pixels, jboolean bottom_up) {
  auto set = Find<void (*)(int, int, int, const uint32_t*, int)>("tc_return_image");
  if (!pixels) return set(kind, width, height, nullptr, bottom_up);
  std::vector<uint32_t> copy(env->GetArrayLength(pixels) + 1);
  env->GetIntArrayRegion(pixels, 0, static_cast<jsize>(copy.size() - 1), reinterpret_cast<jint*>(copy.data()));
  set(kind, width, height, copy.data(), bottom_up);
}

JNIEXPORT jint JNICALL Java_bridge_test_CoreProbe_liveImages(JNIEnv*, jclass) {
  return Find<int (*)()>("tc_live_models")();
}

JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_leaveFpu(JNIEnv*, jclass, jint control, jboolean pending) {
  Find<void (*)(int, int)>("tc_leave_fpu")(control, pending);
}

JNIEXPORT jstring JNICALL Java_bridge_test_CoreProbe_takeLog(JNIEnv* env, jclass) {
  return env->NewStringUTF(Find<const char* (*)()>("tc_take_log")());
}

JNIEXPORT jboolean JNICALL Java_bridge_test_CoreProbe_coreLoaded(JNIEnv*, jclass) {
  void* core = dlopen("libKorvane.so", RTLD_NOW | RTLD_NOLOAD);
  if (core) dlclose(core);
  return core != nullptr;
}

JNIEXPORT jint JNICALL Java_bridge_test_CoreProbe_fpuControlWord(JNIEnv*, jclass) {
  unsigned short control = 0;
#if defined(__i386__) || defined(__x86_64__)
  __asm__ volatile("fnstcw %0" : "=m"(control));
#endif
  return control;
}

JNIEXPORT jint JNICALL Java_bridge_test_CoreProbe_fpuStatusWord(JNIEnv*, jclass) {
  unsigned short status = 0;
#if defined(__i386__) || defined(__x86_64__)
  __asm__ volatile("fnstsw %0" : "=am"(status));
#endif
  return status;
}

JNIEXPORT void JNICALL Java_bridge_test_CoreProbe_setFpuControlWord(JNIEnv*, jclass, jint control) {
#if defined(__i386__) || defined(__x86_64__)
  const unsigned short word = static_cast<unsigned short>(control);
  __asm__ volatile("fldcw %0" : : "m"(word));
#endif
}

}  // extern "C"
