#include "platform/win32/png_win32.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <limits>

#include "platform/exceptions.h"
#include "platform/messages.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// COM for this thread while this lives (it may already be there: the calls pair up).
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

void Decoded(HRESULT result) {
  if (FAILED(result)) throw EInvalidGraphic(messages::kInvalidBitmapImage);
}

}  // namespace

DecodedPicture DecodePng(const BYTE* data, SIZE_T size) {
  if (data == nullptr || size > std::numeric_limits<DWORD>::max()) Decoded(E_INVALIDARG);
  const ComApartment apartment;
  ComPtr<IWICImagingFactory> factory;
  const HRESULT made =
      CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                       IID_IWICImagingFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
  if (FAILED(made)) throw EOutOfResources(SystemErrorText(static_cast<DWORD>(made)));

  ComPtr<IWICStream> stream;
  Decoded(factory->CreateStream(stream.GetAddressOf()));
  Decoded(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size)));
  ComPtr<IWICBitmapDecoder> decoder;
  Decoded(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.GetAddressOf()));
  Decoded(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand));
  ComPtr<IWICBitmapFrameDecode> frame;
  Decoded(decoder->GetFrame(0, frame.GetAddressOf()));
  ComPtr<IWICBitmapSource> converted;
  Decoded(
      WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.Get(), converted.GetAddressOf()));

  UINT width = 0, height = 0;
  Decoded(converted->GetSize(&width, &height));
  // Rows of 32 bits a pixel, all of them within what one copy (and one bitmap) can take.
  const UINT64 bytes = UINT64{width} * height * 4;
  if (width == 0 || height == 0 || bytes > std::numeric_limits<INT>::max()) Decoded(E_INVALIDARG);
  DecodedPicture picture;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.pixels.resize(static_cast<std::size_t>(width) * height);
  Decoded(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(bytes),
                                reinterpret_cast<BYTE*>(picture.pixels.data())));
  for (std::uint32_t& pixel : picture.pixels) pixel &= 0x00FFFFFF;
  return picture;
}

}  // namespace zinnow::win32
