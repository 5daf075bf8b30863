// A scriptable stand-in for the core library, built for the tests as Korvane.dll
// and libKorvane.so. Each entry logs what it received and returns what the test
// scripted for it; the tc_* functions script it and read the log back. Built
// with TEST_CORE_LACKING, it leaves out a few chosen entries.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#define TEST_CORE_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_CORE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#include "core_call.h"
#include "platform.h"

// The lacking variant keeps these entries out of its export table.
#ifdef TEST_CORE_LACKING
#define LACKABLE_EXPORT extern "C"
#else
#define LACKABLE_EXPORT TEST_CORE_EXPORT
#endif

using Bitmap = platform::Bitmap;

// Every entry must have the type the bridge calls it with.
#define BRIDGE_METHOD(name, result, params) extern "C" result CORE_CALL _##name params;
#include "method_list.h"
#undef BRIDGE_METHOD

namespace {

struct Script {
  int number = 0;
  bool has_text = false;
  std::string text;
  bool has_bytes = false;
  std::vector<unsigned char> bytes;
  const void* raw_pointer = nullptr;
};

struct Image {
  enum Kind { kNull, kBitmap, kBogus } kind = kNull;
  int32_t width = 0;
  int32_t height = 0;
  bool bottom_up = false;
  bool has_pixels = false;
  std::vector<uint32_t> pixels;  // top row first
};

std::mutex g_mutex;
// Quiet: entries neither log nor lock, for benchmarks and long runs.
std::atomic<bool> g_quiet{false};
std::map<std::string, Script>* g_scripts;
std::string* g_log;
const void* g_last_pointer;
int g_fpu_control = -1;
bool g_fpu_pending;
Image* g_image;
Bitmap g_last_bitmap;
int g_live_models;

void EnsureState() {
  if (!g_scripts) {
    g_scripts = new std::map<std::string, Script>;
    g_log = new std::string;
    g_image = new Image;
  }
}

void Append(std::string& out, int value) { out += ' ' + std::to_string(value); }

void Append(std::string& out, const char* text) {
  if (!text) {
    out += " null";
    return;
  }
  out += " \"";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    char buffer[8];
    if (*p >= 0x20 && *p < 0x7F && *p != '\\' && *p != '"')
      out += static_cast<char>(*p);
    else {
      std::snprintf(buffer, sizeof buffer, "\\x%02X", *p);
      out += buffer;
    }
  }
  out += '"';
}

// A byte pointer is logged by its first four bytes; the tests pass arrays at
// least that long.
void Append(std::string& out, const void* bytes) {
  g_last_pointer = bytes;
  if (!bytes) {
    out += " null";
    return;
  }
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  char buffer[20];
  std::snprintf(buffer, sizeof buffer, " [%02X %02X %02X %02X]", p[0], p[1], p[2], p[3]);
  out += buffer;
}

void LeaveFpu() {
  if (g_fpu_control < 0) return;
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
  // fldcw waits on a pending unmasked exception, which an earlier entry of a
  // back-to-back pair may have left: clear it first.
  __asm__ volatile("fnclex");
  if (g_fpu_pending) {
    static const unsigned short kMasked = 0x037F;
    __asm__ volatile("fldcw %0" : : "m"(kMasked));
    volatile long double one = 1, zero = 0;
    volatile long double quotient = one / zero;  // leaves the divide-by-zero flag set
    (void)quotient;
  }
  const unsigned short control = static_cast<unsigned short>(g_fpu_control);
  __asm__ volatile("fldcw %0" : : "m"(control));
#endif
}

#ifdef _WIN32
Bitmap MakeBitmap(const Image& image) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = image.bottom_up ? image.height : -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  uint32_t* out = static_cast<uint32_t*>(bits);
  for (int32_t row = 0; row < image.height; ++row) {
    const int32_t stored = image.bottom_up ? image.height - 1 - row : row;
    std::memcpy(out + static_cast<size_t>(stored) * image.width,
                image.pixels.data() + static_cast<size_t>(row) * image.width,
                sizeof(uint32_t) * image.width);
  }
  return bitmap;
}
#else
void ReleaseModel(platform::PosixBitmap* model) {
  delete[] model->pixels;
  delete model;
  std::lock_guard<std::mutex> lock(g_mutex);
  --g_live_models;
}

// A model without pixels stands for a size no real bitmap could have.
Bitmap MakeBitmap(const Image& image) {
  uint32_t* pixels = nullptr;
  if (image.has_pixels) {
    pixels = new uint32_t[image.pixels.size() + 1];
    std::memcpy(pixels, image.pixels.data(), sizeof(uint32_t) * image.pixels.size());
  }
  ++g_live_models;
  return new platform::PosixBitmap{image.width, image.height, pixels, ReleaseModel};
}
#endif

// An entry's script. Map nodes stay put and tc_reset only clears them, so each
// entry looks its script up once.
Script* ScriptFor(const char* name) {
  std::lock_guard<std::mutex> lock(g_mutex);
  EnsureState();
  return &(*g_scripts)[name];
}

template <typename R>
R Result(const Script& script);

template <>
int Result<int>(const Script& script) {
  return script.number;
}

template <>
const char* Result<const char*>(const Script& script) {
  return script.has_text ? script.text.c_str() : nullptr;
}

template <>
const void* Result<const void*>(const Script& script) {
  if (script.has_bytes) return script.bytes.data();
  return script.raw_pointer;
}

template <>
Bitmap Result<Bitmap>(const Script&) {
  if (g_image->kind == Image::kBogus) return reinterpret_cast<Bitmap>(static_cast<uintptr_t>(0x1234));
  if (g_image->kind == Image::kNull) return nullptr;
  g_last_bitmap = MakeBitmap(*g_image);
  return g_last_bitmap;
}

template <typename R, typename... Args>
R Respond(const Script& script, const char* name, Args... args) {
  R result;
  if (g_quiet.load(std::memory_order_relaxed)) {
    result = Result<R>(script);
  } else {
    std::lock_guard<std::mutex> lock(g_mutex);
    *g_log += name;
    (Append(*g_log, args), ...);
    *g_log += '\n';
    result = Result<R>(script);
  }
  LeaveFpu();
  return result;
}

}  // namespace

#define ENTRY(linkage, R, name, params, ...)                  \
  linkage R CORE_CALL _##name params {                        \
    static const Script* const script = ScriptFor(#name);     \
    return Respond<R>(*script, #name, ##__VA_ARGS__);         \
  }

ENTRY(TEST_CORE_EXPORT, int, CreateNewNISTFile, (void))
ENTRY(TEST_CORE_EXPORT, int, ReadNISTFromFile, (const char* path), path)
ENTRY(TEST_CORE_EXPORT, int, ReadNISTFromMemory, (const void* data, int size), data, size)
ENTRY(LACKABLE_EXPORT, int, WriteNISTToFile, (const char* path), path)
ENTRY(LACKABLE_EXPORT, int, ReadSizeOfNISTByteArray, (void))
ENTRY(TEST_CORE_EXPORT, const void*, ReadNISTByteArray, (void))
ENTRY(TEST_CORE_EXPORT, int, CheckIfRecordTypeExists, (int type), type)
ENTRY(TEST_CORE_EXPORT, int, ReadNumberOfRecords, (int type), type)
ENTRY(LACKABLE_EXPORT, int, ReadIDCofRecord, (int type, int index), type, index)
ENTRY(TEST_CORE_EXPORT, int, DeleteRecord, (int type, int index), type, index)
ENTRY(TEST_CORE_EXPORT, const char*, ReadRecordTxtField, (int a, int b, int c, const char* s), a, b, c, s)
ENTRY(TEST_CORE_EXPORT, int, ReadSizeOfRecordTxtField, (int a, int b, int c, const char* s), a, b, c, s)
ENTRY(TEST_CORE_EXPORT, const char*, ReadRecordTxtFieldName, (int a, int b, int c), a, b, c)
ENTRY(TEST_CORE_EXPORT, int, ReadSizeOfRecordTxtFieldName, (int a, int b, int c, const char* s), a, b, c, s)
ENTRY(TEST_CORE_EXPORT, const char*, ReadRecordTxtFieldDescription, (int a, int b, int c, const char* s), a, b, c, s)
ENTRY(TEST_CORE_EXPORT, int, ReadSizeOfRecordTxtFieldDescription, (int a, int b, int c, const char* s), a, b, c, s)
ENTRY(TEST_CORE_EXPORT, const char*, ReadRecordExportedTxtFields, (int a, int b), a, b)
ENTRY(TEST_CORE_EXPORT, int, ReadSizeOfRecordExportedTxtFields, (int a, int b), a, b)
ENTRY(TEST_CORE_EXPORT, int, InsertRecordTxtField, (int a, int b, int c, const char* s, const char* t), a, b, c, s, t)
ENTRY(TEST_CORE_EXPORT, const void*, ReadRecordBinaryField, (int a, int b), a, b)
ENTRY(LACKABLE_EXPORT, int, ReadSizeOfRecordBinaryField, (int a, int b), a, b)
ENTRY(TEST_CORE_EXPORT, int, InsertRecordBinaryFieldFromFile, (int a, int b, const char* s), a, b, s)
ENTRY(TEST_CORE_EXPORT, int, InsertRecordBinaryFieldFromMemory,
      (int a, int b, const void* d, int n, const char* s, int x, int y, int z), a, b, d, n, s, x, y, z)
ENTRY(TEST_CORE_EXPORT, Bitmap, CreateHBITMAPfromRecordBinaryField, (int a, int b), a, b)
ENTRY(TEST_CORE_EXPORT, int, SetKorvaneErrorReportMode, (int mode), mode)
ENTRY(TEST_CORE_EXPORT, const char*, ReadKorvaneLastErrorMessage, (void))

// Scripting and read-back.

TEST_CORE_EXPORT void tc_reset(void) {
  std::lock_guard<std::mutex> lock(g_mutex);
  EnsureState();
  for (auto& entry : *g_scripts) entry.second = Script();
  g_log->clear();
  *g_image = Image();
  g_fpu_control = -1;
  g_fpu_pending = false;
  g_quiet.store(false);
}

TEST_CORE_EXPORT void tc_return_int(const char* entry, int value) {
  std::lock_guard<std::mutex> lock(g_mutex);
  EnsureState();
  (*g_scripts)[entry].number = value;
}

// Text for a string entry; a null `text` makes the entry return null.
TEST_CORE_EXPORT void tc_return_text(const char* entry, const char* text, int length) {
  std::lock_guard<std::mutex> lock(g_mutex);
  EnsureState();
  Script& script = (*g_scripts)[entry];
  script.has_text = text != nullptr;
  script.text.assign(text ? text : "", text ? length : 0);
}

// Bytes for a data entry; a null `data` makes it return `raw_pointer` instead
// (null, or an address that must not be read).
TEST_CORE_EXPORT void tc_return_bytes(const char* entry, const void* data, int length,
                                      uintptr_t raw_pointer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  EnsureState();
  Script& script = (*g_scripts)[entry];
  script.has_bytes = data != nullptr;
  const unsigned char* p = static_cast<const unsigned char*>(data);
  script.bytes.assign(p, p + (data ? length : 0));
  script.raw_pointer = reinterpret_cast<const void*>(raw_pointer);
}

// What the render entry returns: kind 0, a null bitmap; 1, a bitmap of width x
// height pixels given top row first, stored bottom-up or top-down (no pixels: a
// POSIX model of that size without storage); 2, a handle that is no bitmap.
TEST_CORE_EXPORT void tc_return_image(int kind, int width, int height, const uint32_t* pixels,
                                      int bottom_up) {
  std::lock_guard<std::mutex> lock(g_mutex);
  EnsureState();
  Image& image = *g_image;
  image.kind = static_cast<Image::Kind>(kind);
  image.width = width;
  image.height = height;
  image.bottom_up = bottom_up != 0;
  image.has_pixels = pixels != nullptr;
  image.pixels.clear();
  if (pixels) image.pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
}

// Quiet entries keep their scripted results but neither log nor lock.
TEST_CORE_EXPORT void tc_quiet(int quiet) { g_quiet.store(quiet != 0); }

TEST_CORE_EXPORT Bitmap tc_last_bitmap(void) { return g_last_bitmap; }

TEST_CORE_EXPORT int tc_live_models(void) { return g_live_models; }

// The x87 state every entry leaves: this control word (negative: untouched),
// with a divide-by-zero flag pending if asked.
TEST_CORE_EXPORT void tc_leave_fpu(int control_word, int pending_flag) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_fpu_control = control_word;
  g_fpu_pending = pending_flag != 0;
}

// The calls received since the last read, one line each: the entry's name and
// its arguments. The returned text stays valid until the next call here.
TEST_CORE_EXPORT const char* tc_take_log(void) {
  static std::string taken;
  std::lock_guard<std::mutex> lock(g_mutex);
  EnsureState();
  taken.swap(*g_log);
  g_log->clear();
  return taken.c_str();
}

TEST_CORE_EXPORT const void* tc_last_pointer(void) { return g_last_pointer; }
