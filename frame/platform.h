// The platform layer: the only calls the bridge makes to the operating system.
// platform_windows.cpp implements it with Win32 (the only file that includes
// <windows.h>); platform_posix.cpp stands in for it on Linux.
#pragma once

#include <cstdint>

#include "core_call.h"

namespace platform {

// Loads the core library by its bare name ("Korvane"): Korvane.dll through the
// Windows DLL search, libKorvane.so through the dlopen search. Null on failure.
void* LoadLibraryByName(const char* name);

// The exported symbol of exactly this name in a loaded module, or null.
CoreProc FindSymbol(void* module, const char* symbol);

// A modal message with an OK button and no owner window. The POSIX side writes
// one line to standard error: "<caption>: <text>".
void ShowMessage(const char* text, const char* caption);

// A bitmap handle as the core returns it (HBITMAP on Windows).
//
// On POSIX the handle points to a PosixBitmap that the core allocates and
// fills; the bridge releases it, once it has read the pixels, by calling its
// release function (the counterpart of DeleteObject). A POSIX core that renders
// must hand out bitmaps of this shape.
using Bitmap = void*;

struct PosixBitmap {
  int32_t width;
  int32_t height;
  const uint32_t* pixels;  // height rows of width pixels, top row first, 0x00RRGGBB
  void (*release)(PosixBitmap* self);
};

// A bitmap's size in pixels as its description gives it; 0 x 0 when the
// description cannot be read.
struct BitmapSize {
  int32_t width;
  int32_t height;
};
BitmapSize DescribeBitmap(Bitmap bitmap);

// The pixel format wanted from CopyPixels, laid out as a Win32 BITMAPINFO: the
// 40-byte header and one colour entry. A negative height asks for the top row
// first.
struct PixelRequest {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bit_count;
  uint32_t compression;
  uint32_t size_image;
  int32_t x_pels_per_meter;
  int32_t y_pels_per_meter;
  uint32_t clr_used;
  uint32_t clr_important;
  uint32_t colour;
};
static_assert(sizeof(PixelRequest) == 44, "PixelRequest must match BITMAPINFO");

// A memory device context compatible with the screen, for one extraction.
void* CreateMemoryContext();
void DeleteMemoryContext(void* context);

// Copies `lines` scan lines from line 0 of the bitmap into `pixels` in the
// requested format (32-bit pixels, 0x00RRGGBB).
void CopyPixels(void* context, Bitmap bitmap, int32_t lines, void* pixels,
                const PixelRequest& request);

void DeleteBitmap(Bitmap bitmap);

}  // namespace platform
