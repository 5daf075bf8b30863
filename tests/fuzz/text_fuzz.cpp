// Fuzz target for the conversion of the core's text into a Java string: any
// bytes up to a NUL must become the chars a reference decoder, written here from
// the decoding rules, makes of them; NewStringUTF may only be given well-formed
// modified UTF-8; nothing past the NUL may be read (AddressSanitizer sees the
// text in a buffer that ends there).
#include <jni.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "conversions.h"

namespace {

using Chars = std::u16string;

bool InRange(const uint8_t* p, size_t i, size_t n, uint8_t low, uint8_t high) {
  return i < n && p[i] >= low && p[i] <= high;
}

// Decodes one sequence of modified UTF-8 (1 to 3 bytes) at p[i], appending its
// char; returns its length, or 0 if none starts there.
size_t ModifiedUtf8Sequence(const uint8_t* p, size_t i, size_t n, Chars* out) {
  const uint8_t b = p[i];
  if (b < 0x80) {
    *out += b;
    return 1;
  }
  if ((b == 0xC0 && InRange(p, i + 1, n, 0x80, 0x80)) ||
      (b >= 0xC2 && b <= 0xDF && InRange(p, i + 1, n, 0x80, 0xBF))) {
    *out += static_cast<char16_t>((b & 0x1F) << 6 | (p[i + 1] & 0x3F));
    return 2;
  }
  if (((b == 0xE0 && InRange(p, i + 1, n, 0xA0, 0xBF)) || (b >= 0xE1 && b <= 0xEF && InRange(p, i + 1, n, 0x80, 0xBF))) &&
      InRange(p, i + 2, n, 0x80, 0xBF)) {
    *out += static_cast<char16_t>((b & 0x0F) << 12 | (p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F));
    return 3;
  }
  return 0;
}

// The rules: each well-formed sequence, modified UTF-8 or a standard 4-byte
// form, becomes its char(s); every other byte becomes the char of its value.
Chars Reference(const uint8_t* p, size_t n) {
  Chars out;
  size_t i = 0;
  while (i < n) {
    const uint8_t b = p[i];
    if (size_t length = ModifiedUtf8Sequence(p, i, n, &out)) {
      i += length;
    } else if (((b == 0xF0 && InRange(p, i + 1, n, 0x90, 0xBF)) ||
                (b >= 0xF1 && b <= 0xF3 && InRange(p, i + 1, n, 0x80, 0xBF)) ||
                (b == 0xF4 && InRange(p, i + 1, n, 0x80, 0x8F))) &&
               InRange(p, i + 2, n, 0x80, 0xBF) && InRange(p, i + 3, n, 0x80, 0xBF)) {
      const uint32_t c = (b & 0x07u) << 18 | (p[i + 1] & 0x3Fu) << 12 | (p[i + 2] & 0x3Fu) << 6 | (p[i + 3] & 0x3Fu);
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      i += 4;
    } else {
      out += b;
      i += 1;
    }
  }
  return out;
}

// Modified UTF-8 as the JNI defines it, strictly; aborts on anything else.
Chars StrictModifiedUtf8(const char* text) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  const size_t n = std::strlen(text);
  Chars out;
  for (size_t i = 0; i < n;) {
    const size_t length = ModifiedUtf8Sequence(p, i, n, &out);
    if (length == 0) std::abort();  // NewStringUTF given something that is not modified UTF-8
    i += length;
  }
  return out;
}

Chars g_made;
bool g_made_any;

jstring JNICALL FakeNewStringUTF(JNIEnv*, const char* text) {
  g_made = StrictModifiedUtf8(text);
  g_made_any = true;
  return reinterpret_cast<jstring>(&g_made);
}

jstring JNICALL FakeNewString(JNIEnv*, const jchar* chars, jsize length) {
  g_made.assign(reinterpret_cast<const char16_t*>(chars), static_cast<size_t>(length));
  g_made_any = true;
  return reinterpret_cast<jstring>(&g_made);
}

JNIEnv* Env() {
  static JNINativeInterface_ table;
  static JNIEnv env;
  table.NewStringUTF = FakeNewStringUTF;
  table.NewString = FakeNewString;
  env.functions = &table;
  return &env;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The text ends at the first NUL, and so does the buffer holding it.
  const size_t length = strnlen(reinterpret_cast<const char*>(data), size);
  char* text = static_cast<char*>(std::malloc(length + 1));
  std::memcpy(text, data, length);
  text[length] = 0;

  g_made_any = false;
  frame::NewJavaString(Env(), text);
  if (!g_made_any || g_made != Reference(reinterpret_cast<const uint8_t*>(text), length)) std::abort();
  std::free(text);
  return 0;
}
