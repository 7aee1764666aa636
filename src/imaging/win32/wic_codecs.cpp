#include "imaging/win32/wic_codecs.h"

#include <windows.h>
#include <wincodec.h>

#include <string>

#include "imaging/win32/com_ref.h"
#include "imaging/win32/com_thread.h"
#include "imaging/win32/wic_decoder.h"

namespace cs {
namespace {

using CodecText = HRESULT (STDMETHODCALLTYPE IWICBitmapCodecInfo::*)(UINT, WCHAR*, UINT*);

std::string ReadText(IWICBitmapCodecInfo& info, CodecText get) {
    UINT length = 0;
    if (FAILED((info.*get)(0, nullptr, &length)) || length == 0 || length > 4096) return {};
    std::wstring wide(length, L'\0');
    if (FAILED((info.*get)(length, wide.data(), &length))) return {};
    wide.resize(wcsnlen(wide.c_str(), wide.size()));
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string text(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), bytes, nullptr,
                            nullptr);
    return text;
}

// "GIF Decoder" names the GIF format.
std::string FormatName(std::string name, const std::vector<std::string>& extensions) {
    static const std::string kSuffix = " Decoder";
    if (name.size() > kSuffix.size() && name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0)
        name.resize(name.size() - kSuffix.size());
    if (!name.empty()) return name;
    for (char c : extensions.front()) name.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    return name;
}

std::vector<SystemPictureFormat> InstalledFormats() {
    std::vector<SystemPictureFormat> formats;
    const ComThread com;
    ComRef<IWICImagingFactory> factory;
    ComRef<IEnumUnknown> components;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Out()))) ||
        FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, components.Out()))) {
        return formats;
    }
    for (;;) {
        ComRef<IUnknown> component;
        ULONG fetched = 0;
        if (components->Next(1, component.Out(), &fetched) != S_OK || fetched != 1) break;
        ComRef<IWICBitmapDecoderInfo> info;
        if (FAILED(component.QueryTo(info, IID_IWICBitmapDecoderInfo))) continue;
        SystemPictureFormat format;
        format.extensions = ParseCodecExtensions(ReadText(*info.get(), &IWICBitmapCodecInfo::GetFileExtensions));
        if (format.extensions.empty()) continue;
        format.name = FormatName(ReadText(*info.get(), &IWICBitmapCodecInfo::GetFriendlyName), format.extensions);
        formats.push_back(std::move(format));
    }
    return formats;
}

class WicCodecs final : public SystemCodecs {
public:
    WicCodecs() : formats_(InstalledFormats()) {}

    const std::vector<SystemPictureFormat>& Formats() const override { return formats_; }
    std::unique_ptr<SystemDecoder> MakeDecoder() const override { return std::make_unique<WicDecoder>(); }
    std::unique_ptr<CodecThreadLease> LeaseThread() const override { return std::make_unique<ComThread>(); }

private:
    std::vector<SystemPictureFormat> formats_;
};

}  // namespace

std::unique_ptr<SystemCodecs> MakeWicCodecs() { return std::make_unique<WicCodecs>(); }

}  // namespace cs
