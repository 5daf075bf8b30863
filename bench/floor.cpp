// The benchmark's floor: minimal JNI natives that call the same core entries as
// the bridge through pointers resolved once, with no cache checks and no x87
// reset. Two variants show what the bridge's measured choices save: an
// unconditional x87 reset, and a byte result copied through the array's
// elements instead of SetByteArrayRegion.
#include <dlfcn.h>
#include <jni.h>

#include <cstring>

namespace {
int (*g_read_idc)(int, int);
const char* (*g_read_text)(int, int, int, const char*);
int (*g_size_of_image)();
const void* (*g_read_image)();
}  // namespace

extern "C" {

JNIEXPORT jboolean JNICALL Java_bench_Floor_bind(JNIEnv*, jclass) {
  void* core = dlopen("libKorvane.so", RTLD_NOW);
  if (!core) return JNI_FALSE;
  g_read_idc = reinterpret_cast<int (*)(int, int)>(dlsym(core, "_ReadIDCofRecord"));
  g_read_text = reinterpret_cast<const char* (*)(int, int, int, const char*)>(dlsym(core, "_ReadRecordTxtField"));
  g_size_of_image = reinterpret_cast<int (*)()>(dlsym(core, "_ReadSizeOfNISTByteArray"));
  g_read_image = reinterpret_cast<const void* (*)()>(dlsym(core, "_ReadNISTByteArray"));
  return g_read_idc && g_read_text && g_size_of_image && g_read_image;
}

JNIEXPORT jint JNICALL Java_bench_Floor_readIDCofRecord(JNIEnv*, jclass, jint a, jint b) {
  return g_read_idc(a, b);
}

JNIEXPORT jint JNICALL Java_bench_Floor_readIDCofRecordAlwaysReset(JNIEnv*, jclass, jint a, jint b) {
  const jint result = g_read_idc(a, b);
  static const unsigned short kControlWord = 0x133F;
  __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(kControlWord));
  return result;
}

JNIEXPORT jstring JNICALL Java_bench_Floor_readRecordTxtField(JNIEnv* env, jclass, jint a, jint b, jint c,
                                                              jstring text) {
  const char* chars = env->GetStringUTFChars(text, nullptr);
  const char* result = g_read_text(a, b, c, chars);
  env->ReleaseStringUTFChars(text, chars);
  return env->NewStringUTF(result);
}

JNIEXPORT jbyteArray JNICALL Java_bench_Floor_readNISTByteArray(JNIEnv* env, jclass) {
  const jint count = g_size_of_image();
  const void* data = g_read_image();
  jbyteArray array = env->NewByteArray(count);
  env->SetByteArrayRegion(array, 0, count, static_cast<const jbyte*>(data));
  return array;
}

JNIEXPORT jbyteArray JNICALL Java_bench_Floor_readNISTByteArrayThroughElements(JNIEnv* env, jclass) {
  const jint count = g_size_of_image();
  const void* data = g_read_image();
  jbyteArray array = env->NewByteArray(count);
  jbyte* elements = env->GetByteArrayElements(array, nullptr);
  std::memcpy(elements, data, count);
  env->ReleaseByteArrayElements(array, elements, 0);
  return array;
}

}  // extern "C"
