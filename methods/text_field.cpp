// Text field methods: read a record's text fields, their names, descriptions
// and exported text, the length of each, and insert text fields.
#include "frame.h"

using frame::Bind;
using frame::Entry;
using frame::Finish;
using frame::NewJavaString;
using frame::UtfChars;

extern "C" {

JNIEXPORT jstring JNICALL BRIDGE_NATIVE(ReadRecordTxtField)(JNIEnv* env, jclass, jint record_type,
                                                            jint record_index, jint field, jstring text) {
  auto core = Bind<Entry::ReadRecordTxtField>();
  if (!core) return nullptr;
  UtfChars text_chars(env, text, "text is null");
  if (!text_chars) return nullptr;
  return Finish(NewJavaString(env, core(record_type, record_index, field, text_chars.get())));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadSizeOfRecordTxtField)(JNIEnv* env, jclass, jint record_type,
                                                               jint record_index, jint field, jstring text) {
  auto core = Bind<Entry::ReadSizeOfRecordTxtField>();
  if (!core) return 0;
  UtfChars text_chars(env, text, "text is null");
  if (!text_chars) return 0;
  return Finish(core(record_type, record_index, field, text_chars.get()));
}

JNIEXPORT jstring JNICALL BRIDGE_NATIVE(ReadRecordTxtFieldName)(JNIEnv* env, jclass, jint record_type,
                                                                jint record_index, jint field) {
  auto core = Bind<Entry::ReadRecordTxtFieldName>();
  if (!core) return nullptr;
  return Finish(NewJavaString(env, core(record_type, record_index, field)));
}

// Takes a string although its partner ReadRecordTxtFieldName does not: the
// core's entry is declared that way.
JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadSizeOfRecordTxtFieldName)(JNIEnv* env, jclass, jint record_type,
                                                                   jint record_index, jint field, jstring text) {
  auto core = Bind<Entry::ReadSizeOfRecordTxtFieldName>();
  if (!core) return 0;
  UtfChars text_chars(env, text, "text is null");
  if (!text_chars) return 0;
  return Finish(core(record_type, record_index, field, text_chars.get()));
}

JNIEXPORT jstring JNICALL BRIDGE_NATIVE(ReadRecordTxtFieldDescription)(JNIEnv* env, jclass, jint record_type,
                                                                       jint record_index, jint field,
                                                                       jstring text) {
  auto core = Bind<Entry::ReadRecordTxtFieldDescription>();
  if (!core) return nullptr;
  UtfChars text_chars(env, text, "text is null");
  if (!text_chars) return nullptr;
  return Finish(NewJavaString(env, core(record_type, record_index, field, text_chars.get())));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadSizeOfRecordTxtFieldDescription)(JNIEnv* env, jclass, jint record_type,
                                                                          jint record_index, jint field,
                                                                          jstring text) {
  auto core = Bind<Entry::ReadSizeOfRecordTxtFieldDescription>();
  if (!core) return 0;
  UtfChars text_chars(env, text, "text is null");
  if (!text_chars) return 0;
  return Finish(core(record_type, record_index, field, text_chars.get()));
}

JNIEXPORT jstring JNICALL BRIDGE_NATIVE(ReadRecordExportedTxtFields)(JNIEnv* env, jclass, jint record_type,
                                                                     jint record_index) {
  auto core = Bind<Entry::ReadRecordExportedTxtFields>();
  if (!core) return nullptr;
  return Finish(NewJavaString(env, core(record_type, record_index)));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(ReadSizeOfRecordExportedTxtFields)(JNIEnv*, jclass, jint record_type,
                                                                        jint record_index) {
  auto core = Bind<Entry::ReadSizeOfRecordExportedTxtFields>();
  if (!core) return 0;
  return Finish(core(record_type, record_index));
}

JNIEXPORT jint JNICALL BRIDGE_NATIVE(InsertRecordTxtField)(JNIEnv* env, jclass, jint record_type,
                                                           jint record_index, jint field, jstring name,
                                                           jstring value) {
  auto core = Bind<Entry::InsertRecordTxtField>();
  if (!core) return 0;
  UtfChars name_chars(env, name, "name is null");
  if (!name_chars) return 0;
  UtfChars value_chars(env, value, "value is null");
  if (!value_chars) return 0;
  return Finish(core(record_type, record_index, field, name_chars.get(), value_chars.get()));
}

}  // extern "C"
