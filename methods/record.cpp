// Record methods: ask about and remove whole records of the current transaction.
#include "frame.h"

using frame::Bind;
using frame::Entry;
using frame::Finish;

extern "C" {

JNIEXPORT jint JNICALL BRIDGE_NATIVE(CheckIfRecordTypeExists)(JNIEnv*, jclass, jint record_type) {
  auto core = Bind<Entry::CheckIfRecordTypeExists>();
  if (!core) return 0;
  return Finish(core(record_type));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadNumberOfRecords)(JNIEnv*, jclass, jint record_type) {
  auto core = Bind<Entry::ReadNumberOfRecords>();
  if (!core) return 0;
  return Finish(core(record_type));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadIDCofRecord)(JNIEnv*, jclass, jint record_type, jint record_index) {
  auto core = Bind<Entry::ReadIDCofRecord>();
  if (!core) return 0;
  return Finish(core(record_type, record_index));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(DeleteRecord)(JNIEnv*, jclass, jint record_type, jint record_index) {
  auto core = Bind<Entry::DeleteRecord>();
  if (!core) return 0;
  return Finish(core(record_type, record_index));
}

}  // extern "C"
