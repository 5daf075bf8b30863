/* Machine-dependent JNI types and linkage for 32-bit Windows: exports are
   __stdcall (callee removes the arguments) and dllexport; jint is 32 bits,
   jlong 64 bits, jbyte signed. The Windows build puts this folder ahead of the
   JDK's include folder, whose own jni_md.h is the Linux one. */
#ifndef _JAVASOFT_JNI_MD_H_
#define _JAVASOFT_JNI_MD_H_

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
