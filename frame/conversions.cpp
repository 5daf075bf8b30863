// Conversions between Java values and C values: exceptions for null arguments,
// text and byte results.
#include "conversions.h"

#include <cstdint>
#include <cstdlib>

namespace frame {
namespace {

constexpr unsigned kStackUnits = 256;

inline bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length in bytes of the well-formed sequence at `p` (1 to 4), or 0 if the
// byte at `p` does not start one. Never reads past a NUL: every test of a
// following byte fails on 0 before the next is looked at.
inline unsigned SequenceLength(const unsigned char* p) {
  const unsigned char b = p[0];
  if (b < 0x80) return 1;
  if (b == 0xC0) return p[1] == 0x80 ? 2 : 0;
  if (b >= 0xC2 && b <= 0xDF) return IsContinuation(p[1]) ? 2 : 0;
  if (b == 0xE0) return (p[1] >= 0xA0 && p[1] <= 0xBF && IsContinuation(p[2])) ? 3 : 0;
  if (b >= 0xE1 && b <= 0xEF) return (IsContinuation(p[1]) && IsContinuation(p[2])) ? 3 : 0;
  if (b == 0xF0 && !(p[1] >= 0x90 && p[1] <= 0xBF)) return 0;
  if (b >= 0xF1 && b <= 0xF3 && !IsContinuation(p[1])) return 0;
  if (b == 0xF4 && !(p[1] >= 0x80 && p[1] <= 0x8F)) return 0;
  if (b >= 0xF0 && b <= 0xF4) return (IsContinuation(p[2]) && IsContinuation(p[3])) ? 4 : 0;
  return 0;
}

}  // namespace

void Throw(JNIEnv* env, const char* class_name, const char* message) {
  jclass type = env->FindClass(class_name);
  if (!type) return;  // FindClass left its own error pending
  env->ThrowNew(type, message);
  env->DeleteLocalRef(type);
}

void ThrowNullPointer(JNIEnv* env, const char* message) {
  Throw(env, "java/lang/NullPointerException", message);
}

bool IsModifiedUtf8(const char* text, unsigned* length) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* start = p;
  bool well_formed = true;
  while (*p) {
    unsigned n = SequenceLength(p);
    if (n == 0 || n == 4) {  // NewStringUTF takes neither
      well_formed = false;
      n = 1;
    }
    p += n;
  }
  *length = static_cast<unsigned>(p - start);
  return well_formed;
}

unsigned DecodeCoreText(const char* text, unsigned length, jchar* out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = p + length;
  jchar* o = out;
  while (p < end) {
    switch (SequenceLength(p)) {
      case 1:
        *o++ = p[0];
        p += 1;
        break;
      case 2:
        *o++ = static_cast<jchar>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F));
        p += 2;
        break;
      case 3:
        *o++ = static_cast<jchar>(((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
        p += 3;
        break;
      case 4: {
        const uint32_t c = ((p[0] & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) |
                           ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
        *o++ = static_cast<jchar>(0xD800 + ((c - 0x10000) >> 10));
        *o++ = static_cast<jchar>(0xDC00 + ((c - 0x10000) & 0x3FF));
        p += 4;
        break;
      }
      default:  // not well-formed: keep the byte as the char of its value
        *o++ = p[0];
        p += 1;
        break;
    }
  }
  return static_cast<unsigned>(o - out);
}

jstring NewJavaString(JNIEnv* env, const char* text) {
  if (!text) return nullptr;
  unsigned length;
  if (IsModifiedUtf8(text, &length)) return env->NewStringUTF(text);

  // Each byte yields at most one UTF-16 unit (a 4-byte form yields two).
  jchar stack_units[kStackUnits];
  jchar* units = stack_units;
  if (length > kStackUnits) {
    units = static_cast<jchar*>(std::malloc(sizeof(jchar) * length));
    if (!units) {
      Throw(env, "java/lang/OutOfMemoryError", "no memory to decode the core's text");
      return nullptr;
    }
  }
  const unsigned count = DecodeCoreText(text, length, units);
  jstring result = env->NewString(units, static_cast<jsize>(count));
  if (units != stack_units) std::free(units);
  return result;
}

jbyteArray NewJavaBytes(JNIEnv* env, jint count, const void* data) {
  if (count < 0 || (count > 0 && !data)) return nullptr;
  jbyteArray array = env->NewByteArray(count);
  // One copy straight into the new array: no native buffer of the JVM's.
  if (array && count > 0) env->SetByteArrayRegion(array, 0, count, static_cast<const jbyte*>(data));
  return array;
}

}  // namespace frame
