// Conversions between Java values and the C values the core takes and gives.
#pragma once

#include <jni.h>

namespace frame {

// Throws a new exception of the named class (as "java/lang/...").
void Throw(JNIEnv* env, const char* class_name, const char* message);

// Throws java.lang.NullPointerException with the given message.
void ThrowNullPointer(JNIEnv* env, const char* message);

// A Java string's modified UTF-8 chars, NUL-terminated, held for the length of
// one core call. A null string throws NullPointerException with `null_message`;
// the owner is then empty and the method must return without calling the core.
class UtfChars {
 public:
  UtfChars(JNIEnv* env, jstring string, const char* null_message)
      : env_(env), string_(string), chars_(nullptr) {
    if (!string)
      ThrowNullPointer(env, null_message);
    else
      chars_ = env->GetStringUTFChars(string, nullptr);
  }
  ~UtfChars() {
    if (chars_) env_->ReleaseStringUTFChars(string_, chars_);
  }
  UtfChars(const UtfChars&) = delete;
  UtfChars& operator=(const UtfChars&) = delete;

  explicit operator bool() const { return chars_ != nullptr; }
  const char* get() const { return chars_; }

 private:
  JNIEnv* env_;
  jstring string_;
  const char* chars_;
};

// A Java byte array's elements, held for the length of one core call and
// released without copying back (the core reads them).
class ByteElements {
 public:
  ByteElements(JNIEnv* env, jbyteArray array, const char* null_message)
      : env_(env), array_(array), elements_(nullptr) {
    if (!array) {
      ThrowNullPointer(env, null_message);
    } else {
      jboolean is_copy;
      elements_ = env->GetByteArrayElements(array, &is_copy);
    }
  }
  ~ByteElements() {
    if (elements_) env_->ReleaseByteArrayElements(array_, elements_, JNI_ABORT);
  }
  ByteElements(const ByteElements&) = delete;
  ByteElements& operator=(const ByteElements&) = delete;

  explicit operator bool() const { return elements_ != nullptr; }
  const void* get() const { return elements_; }

 private:
  JNIEnv* env_;
  jbyteArray array_;
  jbyte* elements_;
};

// A new Java string from the core's NUL-terminated text (null for null).
// Well-formed modified UTF-8 is read as such; the standard 4-byte form of a
// supplementary character becomes its surrogate pair; any other byte that does
// not start a well-formed sequence becomes the char of the same value.
jstring NewJavaString(JNIEnv* env, const char* text);

// The UTF-16 decoding behind NewJavaString, exposed for testing: writes at most
// one unit per input byte into `out` and returns the number of units, and
// reports whether the text was all well-formed modified UTF-8.
unsigned DecodeCoreText(const char* text, unsigned length, jchar* out);
bool IsModifiedUtf8(const char* text, unsigned* length);

// A new Java byte array holding `count` bytes from `data`. A negative count or
// a null pointer with a non-zero count gives null; nothing is read when the
// count is 0. Null too, with OutOfMemoryError pending, if the array cannot be
// allocated.
jbyteArray NewJavaBytes(JNIEnv* env, jint count, const void* data);

}  // namespace frame
