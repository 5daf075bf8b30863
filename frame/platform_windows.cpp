// The platform layer on Windows: the bridge's only Win32 calls, in their wide
// form or, where the build sets BRIDGE_NARROW_WINDOWS_CALLS, their 8-bit form.
#include <windows.h>

#include "platform.h"

static_assert(sizeof(BITMAPINFO) == sizeof(platform::PixelRequest), "BITMAPINFO layout");
static_assert(sizeof(BITMAP) == 24, "BITMAP layout");

namespace platform {
namespace {

// The texts passed here are ASCII, so widening is a plain copy.
template <size_t N>
void Widen(const char* text, wchar_t (&out)[N]) {
  size_t i = 0;
  for (; text[i] && i + 1 < N; ++i) out[i] = static_cast<unsigned char>(text[i]);
  out[i] = 0;
}

}  // namespace

void* LoadLibraryByName(const char* name) {
#ifdef BRIDGE_NARROW_WINDOWS_CALLS
  return LoadLibraryA(name);
#else
  wchar_t wide[64];
  Widen(name, wide);
  return LoadLibraryW(wide);
#endif
}

CoreProc FindSymbol(void* module, const char* symbol) {
  // Through a plain function pointer type: FARPROC's own signature means nothing.
  return reinterpret_cast<CoreProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(static_cast<HMODULE>(module), symbol)));
}

void ShowMessage(const char* text, const char* caption) {
#ifdef BRIDGE_NARROW_WINDOWS_CALLS
  MessageBoxA(nullptr, text, caption, MB_OK);
#else
  wchar_t wide_text[128];
  wchar_t wide_caption[16];
  Widen(text, wide_text);
  Widen(caption, wide_caption);
  MessageBoxW(nullptr, wide_text, wide_caption, MB_OK);
#endif
}

BitmapSize DescribeBitmap(Bitmap bitmap) {
  BITMAP description = {};  // a failed read leaves 0 x 0
#ifdef BRIDGE_NARROW_WINDOWS_CALLS
  GetObjectA(static_cast<HBITMAP>(bitmap), sizeof description, &description);
#else
  GetObjectW(static_cast<HBITMAP>(bitmap), sizeof description, &description);
#endif
  return BitmapSize{description.bmWidth, description.bmHeight};
}

void* CreateMemoryContext() { return CreateCompatibleDC(nullptr); }

void DeleteMemoryContext(void* context) {
  if (context) DeleteDC(static_cast<HDC>(context));
}

void CopyPixels(void* context, Bitmap bitmap, int32_t lines, void* pixels,
                const PixelRequest& request) {
  // PixelRequest is laid out as BITMAPINFO and GetDIBits only reads it here.
  GetDIBits(static_cast<HDC>(context), static_cast<HBITMAP>(bitmap), 0, static_cast<UINT>(lines),
            pixels, reinterpret_cast<BITMAPINFO*>(const_cast<PixelRequest*>(&request)),
            DIB_RGB_COLORS);
}

void DeleteBitmap(Bitmap bitmap) { DeleteObject(static_cast<HBITMAP>(bitmap)); }

}  // namespace platform
