// The forwarding frame every exported method runs: bind, convert, call,
// convert, reset the x87 state, return.
#pragma once

#include <jni.h>

// The declarations javac generated from the build's Java class: a definition
// whose types differ from its Java declaration does not compile.
#ifdef BRIDGE_JNI_HEADER
#include BRIDGE_JNI_HEADER
#endif

#include "binding.h"
#include "conversions.h"
#include "fpu.h"

// The exported JNI name of a method of the build's Java class (BRIDGE_CLASS,
// set by the build), e.g. Java_nist_1sun_1java_Korvane_ReadNISTFromFile.
#define BRIDGE_JOIN_(a, b) a##b
#define BRIDGE_JOIN(a, b) BRIDGE_JOIN_(a, b)
#define BRIDGE_NATIVE(method) BRIDGE_JOIN(BRIDGE_JOIN(Java_nist_1sun_1java_, BRIDGE_CLASS), _##method)

namespace frame {

// The last step of every path that called the core and reached a result.
template <typename T>
inline T Finish(T result) {
  ResetFPUControlWord();
  return result;
}

}  // namespace frame
