// GDI+ through its flat API: each port call is one GDI+ call.
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"

#include <objbase.h>

// The GDI+ headers use min and max, which NOMINMAX takes away.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace win32 {
namespace {

void releaseStream(IStream* stream) {
  stream->Release();
}
using UniqueStream = Unique<IStream*, releaseStream>;

// An empty stream in memory; nothing when there is no memory for one.
UniqueStream memoryStream() {
  IStream* stream = nullptr;
  return UniqueStream(SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ? stream : nullptr);
}

::Gdiplus::GpImage* ImageOf(std::uintptr_t image) {
  return reinterpret_cast<::Gdiplus::GpImage*>(image);
}

GUID ToGuid(const platform::Guid& g) {
  GUID out;
  out.Data1 = g.data1;
  out.Data2 = g.data2;
  out.Data3 = g.data3;
  std::memcpy(out.Data4, g.data4.data(), sizeof out.Data4);
  return out;
}

}  // namespace

util::Status Win32Gdiplus::startup(const platform::GdiplusStartupInput& input,
                                   std::uintptr_t& token) {
  ::Gdiplus::GdiplusStartupInput in;
  in.GdiplusVersion = input.version;
  in.DebugEventCallback = nullptr;  // the program has no debug event handler to give
  in.SuppressBackgroundThread = input.suppressBackgroundThread ? TRUE : FALSE;
  in.SuppressExternalCodecs = input.suppressExternalCodecs ? TRUE : FALSE;
  ULONG_PTR t = 0;
  const int status = static_cast<int>(::Gdiplus::GdiplusStartup(&t, &in, nullptr));
  token = static_cast<std::uintptr_t>(t);
  return status;
}

util::Status Win32Gdiplus::createBitmapFromHbitmap(std::uintptr_t hbitmap, std::uintptr_t palette,
                                                   std::uintptr_t& image) {
  ::Gdiplus::GpBitmap* bitmap = nullptr;
  const int status = static_cast<int>(::Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(
      reinterpret_cast<HBITMAP>(hbitmap), reinterpret_cast<HPALETTE>(palette), &bitmap));
  image = reinterpret_cast<std::uintptr_t>(bitmap);
  return status;
}

util::Status Win32Gdiplus::createBitmapFromStream(const std::string& bytes, std::uintptr_t& image) {
  // A stream over a copy of the bytes; GDI+ holds its own reference as long as it reads from it.
  const UniqueStream stream = memoryStream();
  if (!stream)
    return ::Gdiplus::OutOfMemory;
  ULONG written = 0;
  const LARGE_INTEGER start{};
  int status = ::Gdiplus::OutOfMemory;
  ::Gdiplus::GpBitmap* bitmap = nullptr;
  if (SUCCEEDED(stream.get()->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) &&
      written == bytes.size() && SUCCEEDED(stream.get()->Seek(start, STREAM_SEEK_SET, nullptr))) {
    status =
        static_cast<int>(::Gdiplus::DllExports::GdipCreateBitmapFromStream(stream.get(), &bitmap));
  }
  image = reinterpret_cast<std::uintptr_t>(bitmap);
  return status;
}

util::Status Win32Gdiplus::createHbitmapFromBitmap(std::uintptr_t image, std::uint32_t background,
                                                   std::shared_ptr<platform::Picture>& picture) {
  HBITMAP bitmap = nullptr;
  const int status = static_cast<int>(::Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(
      reinterpret_cast<::Gdiplus::GpBitmap*>(image), &bitmap, background));
  picture = status == ::Gdiplus::Ok ? ownPicture(bitmap) : nullptr;
  return status;
}

platform::Guid Win32Gdiplus::parseClsid(const std::wstring& text) {
  CLSID clsid{};
  // A malformed id leaves the null id, which the encoder then refuses.
  (void)CLSIDFromString(text.c_str(), &clsid);
  platform::Guid g;
  g.data1 = clsid.Data1;
  g.data2 = clsid.Data2;
  g.data3 = clsid.Data3;
  std::memcpy(g.data4.data(), clsid.Data4, g.data4.size());
  return g;
}

util::Status Win32Gdiplus::saveImageToMemory(std::uintptr_t image, const platform::Guid& encoder,
                                             const platform::EncoderParameters& parameters,
                                             std::string& bytes) {
  const CLSID clsid = ToGuid(encoder);
  ::Gdiplus::EncoderParameters block;
  block.Count = parameters.count;
  block.Parameter[0].Guid = ToGuid(parameters.parameter.id);
  block.Parameter[0].NumberOfValues = parameters.parameter.numberOfValues;
  block.Parameter[0].Type = parameters.parameter.type;
  // GDI+ only reads the value.
  block.Parameter[0].Value = const_cast<std::uint32_t*>(parameters.parameter.value);
  const UniqueStream stream = memoryStream();
  if (!stream)
    return ::Gdiplus::OutOfMemory;
  const int status = static_cast<int>(
      ::Gdiplus::DllExports::GdipSaveImageToStream(ImageOf(image), stream.get(), &clsid, &block));
  if (status != 0)
    return status;
  STATSTG about{};
  HGLOBAL memory = nullptr;
  if (FAILED(stream.get()->Stat(&about, STATFLAG_NONAME)) ||
      FAILED(GetHGlobalFromStream(stream.get(), &memory))) {
    return ::Gdiplus::Win32Error;
  }
  const GlobalLocked lock = lockGlobal(memory);
  if (!lock || GlobalSize(memory) < about.cbSize.QuadPart)
    return ::Gdiplus::Win32Error;
  bytes.assign(static_cast<const char*>(lock.get()),
               static_cast<std::size_t>(about.cbSize.QuadPart));
  return 0;
}

util::Status Win32Gdiplus::disposeImage(std::uintptr_t image) {
  return static_cast<int>(::Gdiplus::DllExports::GdipDisposeImage(ImageOf(image)));
}

void Win32Gdiplus::shutdown(std::uintptr_t token) {
  ::Gdiplus::GdiplusShutdown(static_cast<ULONG_PTR>(token));
}

}  // namespace win32
