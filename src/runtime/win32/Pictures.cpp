#include "runtime/win32/Pictures.h"

#include "runtime/RuntimeError.h"

#include <cstdio>
#include <wincodec.h>
#include <wrl/client.h>

namespace FormsRuntime::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// Checks one step of decoding; a failure names the picture and the step.
class Steps {
public:
    Steps(const std::string& object, std::string_view resourcePath)
        : object_(object), path_(resourcePath) {}

    void Check(HRESULT result, const char* step) const {
        if (SUCCEEDED(result))
            return;
        char code[9];
        std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
        throw RuntimeError(object_, "load picture",
                           std::string(step) + " failed for " + path_ + " (HRESULT 0x" + code +
                               ")");
    }
    [[noreturn]] void Fail(const std::string& reason) const {
        throw RuntimeError(object_, "load picture", reason + " for " + path_);
    }

private:
    const std::string& object_;
    std::string path_;
};

// A 32-bit top-down bitmap holding `source` at `width` x `height`, its alpha premultiplied into
// the colours (for painting) or kept apart (for icons).
Picture ToBitmap(const Steps& steps, IWICImagingFactory& factory, IWICBitmapSource& source,
                 UINT width, UINT height, bool premultiplied) {
    ComPtr<IWICBitmapScaler> scaler;
    steps.Check(factory.CreateBitmapScaler(&scaler), "creating a scaler");
    steps.Check(
        scaler->Initialize(&source, width, height, WICBitmapInterpolationModeNearestNeighbor),
        "scaling");
    ComPtr<IWICBitmapSource> pixels;
    steps.Check(WICConvertBitmapSource(premultiplied ? GUID_WICPixelFormat32bppPBGRA
                                                     : GUID_WICPixelFormat32bppBGRA,
                                       scaler.Get(), &pixels),
                "converting to 32-bit pixels");

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        steps.Fail("no bitmap of " + std::to_string(width) + "x" + std::to_string(height) +
                   " pixels could be made");
    const UINT stride = width * 4;
    steps.Check(pixels->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)),
                "copying the pixels");
    return {std::move(bitmap), static_cast<int>(width), static_cast<int>(height)};
}

// Decodes the first frame of the picture resource as ToBitmap makes it, at the size that
// `sizeFor` gives for the picture's own width and height.
template <class SizeFor>
Picture Decode(std::string_view resourcePath, const std::string& object, bool premultiplied,
               SizeFor sizeFor) {
    const Steps steps(object, resourcePath);
    // After the last slash; with none, npos + 1 is the start.
    const std::string_view file = resourcePath.substr(resourcePath.find_last_of('/') + 1);
    const std::wstring name = WideFromUtf8(file);
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (resource == nullptr)
        steps.Fail("the executable has no resource " + std::string(file));
    const DWORD size = SizeofResource(module, resource);
    auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(module, resource)));
    if (bytes == nullptr || size == 0)
        steps.Fail("the resource could not be read: " + LastErrorText());

    ComPtr<IWICImagingFactory> factory;
    steps.Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(factory.GetAddressOf())),
                "creating the imaging factory");
    ComPtr<IWICStream> stream;
    steps.Check(factory->CreateStream(&stream), "creating a stream");
    steps.Check(stream->InitializeFromMemory(bytes, size), "reading the resource");
    ComPtr<IWICBitmapDecoder> decoder;
    steps.Check(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                 WICDecodeMetadataCacheOnDemand, &decoder),
                "recognising the format");
    ComPtr<IWICBitmapFrameDecode> frame;
    steps.Check(decoder->GetFrame(0, &frame), "decoding the first frame");
    UINT width = 0;
    UINT height = 0;
    steps.Check(frame->GetSize(&width, &height), "reading the size");
    const auto [toWidth, toHeight] = sizeFor(width, height);
    return ToBitmap(steps, *factory.Get(), *frame.Get(), toWidth, toHeight, premultiplied);
}

} // namespace

Picture LoadPicture(std::string_view resourcePath, UINT dpi, const std::string& object) {
    return Decode(resourcePath, object, true, [dpi](UINT width, UINT height) {
        return std::pair{static_cast<UINT>(Scaled(static_cast<int>(width), dpi)),
                         static_cast<UINT>(Scaled(static_cast<int>(height), dpi))};
    });
}

Icon LoadIconPicture(std::string_view resourcePath, int size, const std::string& object) {
    const auto side = static_cast<UINT>(size);
    const Picture picture = Decode(resourcePath, object, false, [side](UINT, UINT) {
        return std::pair{side, side};
    });
    // The colour bitmap's alpha says what is transparent; the mask only has to exist.
    const Bitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
    ICONINFO info{TRUE, 0, 0, mask.get(), picture.bitmap.get()};
    Icon icon(CreateIconIndirect(&info));
    if (!icon)
        throw RuntimeError(object, "load icon", std::string(resourcePath) + ": " + LastErrorText());
    return icon;
}

Icon LoadProgramIcon(int size) {
    struct Search {
        int size;
        HICON icon;
    } search{size, nullptr};
    EnumResourceNamesW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */,
        [](HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            auto& wanted = *reinterpret_cast<Search*>(found);
            wanted.icon = static_cast<HICON>(
                LoadImageW(module, name, IMAGE_ICON, wanted.size, wanted.size, 0));
            return FALSE; // the first group is the one the desktop shows for the file
        },
        reinterpret_cast<LONG_PTR>(&search));
    return Icon(search.icon);
}

void PaintPicture(HDC dc, const Picture& picture, int x, int y) {
    HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(source, picture.bitmap.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, picture.width, picture.height, source, 0, 0, picture.width, picture.height,
               blend);
    SelectObject(source, previous);
    DeleteDC(source);
}

} // namespace FormsRuntime::win32
