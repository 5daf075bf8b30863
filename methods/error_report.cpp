// Error reporting methods: how the core reports its errors, and the text of
// its last error.
#include "frame.h"

using frame::Bind;
using frame::Entry;
using frame::Finish;

extern "C" {

JNIEXPORT jint JNICALL BRIDGE_NATIVE(SetKorvaneErrorReportMode)(JNIEnv*, jclass, jint mode) {
  auto core = Bind<Entry::SetKorvaneErrorReportMode>();
  if (!core) return 0;
  return Finish(core(mode));
}

JNIEXPORT jstring JNICALL BRIDGE_NATIVE(ReadKorvaneLastErrorMessage)(JNIEnv* env, jclass) {
  auto core = Bind<Entry::ReadKorvaneLastErrorMessage>();
  if (!core) return nullptr;
  return Finish(frame::NewJavaString(env, core()));
}

}  // extern "C"
