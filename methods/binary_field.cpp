// Binary field methods: read a binary field into a byte array, tell its
// length, insert binary fields from a file or from the caller's bytes.
#include "frame.h"

using frame::Bind;
using frame::ByteElements;
using frame::Entry;
using frame::Finish;
using frame::UtfChars;

extern "C" {

JNIEXPORT jbyteArray JNICALL BRIDGE_NATIVE(ReadRecordBinaryField)(JNIEnv* env, jclass, jint record_type,
                                                                  jint record_index) {
  auto read = Bind<Entry::ReadRecordBinaryField>();
  if (!read) return nullptr;
  auto size_of = Bind<Entry::ReadSizeOfRecordBinaryField>();
  if (!size_of) return nullptr;
  const jint count = size_of(record_type, record_index);
  const void* data = read(record_type, record_index);
  return Finish(frame::NewJavaBytes(env, count, data));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadSizeOfRecordBinaryField)(JNIEnv*, jclass, jint record_type,
                                                                  jint record_index) {
  auto core = Bind<Entry::ReadSizeOfRecordBinaryField>();
  if (!core) return 0;
  return Finish(core(record_type, record_index));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(InsertRecordBinaryFieldFromFile)(JNIEnv* env, jclass, jint record_type,
                                                                      jint record_index, jstring path) {
  auto core = Bind<Entry::InsertRecordBinaryFieldFromFile>();
  if (!core) return 0;
  UtfChars path_chars(env, path, "path is null");
  if (!path_chars) return 0;
  return Finish(core(record_type, record_index, path_chars.get()));
}

// The string (fifth argument) is converted before the array's elements are
// obtained; the core gets all eight values in the Java order.
JNIEXPORT jint JNICALL BRIDGE_NATIVE(InsertRecordBinaryFieldFromMemory)(JNIEnv* env, jclass, jint record_type,
                                                                        jint record_index, jbyteArray data,
                                                                        jint size, jstring text, jint value1,
                                                                        jint value2, jint value3) {
  auto core = Bind<Entry::InsertRecordBinaryFieldFromMemory>();
  if (!core) return 0;
  UtfChars text_chars(env, text, "text is null");
  if (!text_chars) return 0;
  ByteElements elements(env, data, "data is null");
  if (!elements) return 0;
  return Finish(core(record_type, record_index, elements.get(), size, text_chars.get(), value1, value2, value3));
}

}  // extern "C"
