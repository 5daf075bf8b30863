// Image rendering: the core decodes an image field into a bitmap; the bridge
// writes its size into the caller's dimension array and returns its pixels as
// 32-bit values, top row first.
#include <cstdint>

#include "frame.h"

using frame::Bind;
using frame::Entry;

namespace {

// The core creates the bitmap for this one call and the caller never sees the
// handle, so the bridge deletes it, with the memory device context once there
// is one, and resets the x87 state on every path after the core call.
class Rendering {
 public:
  explicit Rendering(platform::Bitmap bitmap) : bitmap_(bitmap) {}
  ~Rendering() {
    platform::DeleteMemoryContext(context_);
    platform::DeleteBitmap(bitmap_);
    frame::ResetFPUControlWord();
  }
  Rendering(const Rendering&) = delete;
  Rendering& operator=(const Rendering&) = delete;

  platform::Bitmap bitmap() const { return bitmap_; }
  void* context() const { return context_; }
  void set_context(void* context) { context_ = context; }

 private:
  platform::Bitmap bitmap_;
  void* context_ = nullptr;
};

// Writing element 1 of a shorter array through a critical pointer would
// corrupt the Java heap, so the array is checked before the core is called.
bool CheckDimensionArray(JNIEnv* env, jintArray dimensions) {
  if (!dimensions) {
    frame::ThrowNullPointer(env, "dimensions is null");
    return false;
  }
  if (env->GetArrayLength(dimensions) < 2) {
    frame::Throw(env, "java/lang/ArrayIndexOutOfBoundsException",
                 "dimensions must have at least 2 elements (width, height)");
    return false;
  }
  return true;
}

bool WriteDimensions(JNIEnv* env, jintArray dimensions, const platform::BitmapSize& size) {
  jint* elements = static_cast<jint*>(env->GetPrimitiveArrayCritical(dimensions, nullptr));
  if (!elements) return false;
  elements[0] = size.width;
  elements[1] = size.height;
  env->ReleasePrimitiveArrayCritical(dimensions, elements, 0);
  return true;
}

}  // namespace

extern "C" {

JNIEXPORT jintArray JNICALL BRIDGE_NATIVE(CreateHBITMAPfromRecordBinaryField)(JNIEnv* env, jclass,
                                                                              jintArray dimensions,
                                                                              jint record_type,
                                                                              jint record_index) {
  auto core = Bind<Entry::CreateHBITMAPfromRecordBinaryField>();
  if (!core) return nullptr;
  if (!CheckDimensionArray(env, dimensions)) return nullptr;
  platform::Bitmap bitmap = core(record_type, record_index);
  if (!bitmap) return nullptr;  // nothing to release, and the x87 state stays as the core left it
  Rendering rendering(bitmap);

  const platform::BitmapSize size = platform::DescribeBitmap(bitmap);
  if (!WriteDimensions(env, dimensions, size)) return nullptr;
  const int64_t count = static_cast<int64_t>(size.width) * size.height;
  if (size.width < 0 || size.height < 0 || count > INT32_MAX) return nullptr;

  platform::PixelRequest request = {};
  request.size = 40;
  request.width = size.width;
  request.height = -size.height;  // top row first
  request.planes = 1;
  request.bit_count = 32;
  request.compression = 0;  // BI_RGB
  rendering.set_context(platform::CreateMemoryContext());

  jintArray pixels = env->NewIntArray(static_cast<jsize>(count));
  if (!pixels || count == 0) return pixels;
  void* elements = env->GetPrimitiveArrayCritical(pixels, nullptr);
  if (!elements) return nullptr;
  platform::CopyPixels(rendering.context(), bitmap, size.height, elements, request);
  env->ReleasePrimitiveArrayCritical(pixels, elements, 0);
  return pixels;
}

}  // extern "C"
