// The platform layer on POSIX: dlopen for the core library, standard error for
// message boxes, and a bitmap model of the bridge's own for rendered images.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "platform.h"

namespace platform {

void* LoadLibraryByName(const char* name) {
  char file[256];
  std::snprintf(file, sizeof file, "lib%s.so", name);
  return dlopen(file, RTLD_NOW);
}

CoreProc FindSymbol(void* module, const char* symbol) {
  return reinterpret_cast<CoreProc>(dlsym(module, symbol));
}

void ShowMessage(const char* text, const char* caption) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
}

BitmapSize DescribeBitmap(Bitmap bitmap) {
  const PosixBitmap* model = static_cast<const PosixBitmap*>(bitmap);
  return BitmapSize{model->width, model->height};
}

// Nothing to draw with on POSIX; any non-null token serves as the context.
void* CreateMemoryContext() {
  static char context;
  return &context;
}

void DeleteMemoryContext(void*) {}

void CopyPixels(void*, Bitmap bitmap, int32_t lines, void* pixels, const PixelRequest& request) {
  const PosixBitmap* model = static_cast<const PosixBitmap*>(bitmap);
  if (request.bit_count != 32 || request.width != model->width || lines > model->height) return;
  const bool top_down = request.height < 0;
  const size_t row_bytes = sizeof(uint32_t) * static_cast<size_t>(model->width);
  for (int32_t row = 0; row < lines; ++row) {
    const int32_t source = top_down ? row : model->height - 1 - row;
    std::memcpy(static_cast<char*>(pixels) + row_bytes * row,
                model->pixels + static_cast<size_t>(source) * model->width, row_bytes);
  }
}

void DeleteBitmap(Bitmap bitmap) {
  PosixBitmap* model = static_cast<PosixBitmap*>(bitmap);
  if (model->release) model->release(model);
}

}  // namespace platform
