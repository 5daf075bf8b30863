// Transaction methods: establish the core's current transaction and get it out
// again.
#include "frame.h"

using frame::Bind;
using frame::ByteElements;
using frame::Entry;
using frame::Finish;
using frame::UtfChars;

extern "C" {

JNIEXPORT jint JNICALL BRIDGE_NATIVE(CreateNewNISTFile)(JNIEnv*, jclass) {
  auto core = Bind<Entry::CreateNewNISTFile>();
  if (!core) return 0;
  return Finish(core());
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadNISTFromFile)(JNIEnv* env, jclass, jstring path) {
  auto core = Bind<Entry::ReadNISTFromFile>();
  if (!core) return 0;
  UtfChars path_chars(env, path, "path is null");
  if (!path_chars) return 0;
  return Finish(core(path_chars.get()));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadNISTFromMemory)(JNIEnv* env, jclass, jbyteArray data,
                                                         jint size) {
  auto core = Bind<Entry::ReadNISTFromMemory>();
  if (!core) return 0;
  ByteElements elements(env, data, "data is null");
  if (!elements) return 0;
  return Finish(core(elements.get(), size));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(WriteNISTToFile)(JNIEnv* env, jclass, jstring path) {
  auto core = Bind<Entry::WriteNISTToFile>();
  if (!core) return 0;
  UtfChars path_chars(env, path, "path is null");
  if (!path_chars) return 0;
  return Finish(core(path_chars.get()));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadSizeOfNISTByteArray)(JNIEnv*, jclass) {
  auto core = Bind<Entry::ReadSizeOfNISTByteArray>();
  if (!core) return 0;
  return Finish(core());
}

JNIEXPORT jbyteArray JNICALL BRIDGE_NATIVE(ReadNISTByteArray)(JNIEnv* env, jclass) {
  auto read = Bind<Entry::ReadNISTByteArray>();
  if (!read) return nullptr;
  auto size_of = Bind<Entry::ReadSizeOfNISTByteArray>();
  if (!size_of) return nullptr;
  const jint count = size_of();
  const void* data = read();
  return Finish(frame::NewJavaBytes(env, count, data));
}

}  // extern "C"
