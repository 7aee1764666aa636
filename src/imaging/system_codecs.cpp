#include "imaging/system_codecs.h"

#include <algorithm>

namespace cs {
namespace {

std::unique_ptr<SystemCodecs>& Installed() {
    static std::unique_ptr<SystemCodecs> codecs;
    return codecs;
}

}  // namespace

void InstallSystemCodecs(std::unique_ptr<SystemCodecs> codecs) { Installed() = std::move(codecs); }

const SystemCodecs* InstalledSystemCodecs() { return Installed().get(); }

std::vector<SystemPictureFormat> InstalledSystemFormats() {
    const SystemCodecs* codecs = InstalledSystemCodecs();
    return codecs ? codecs->Formats() : std::vector<SystemPictureFormat>{};
}

DecodingThread::DecodingThread() {
    const SystemCodecs* codecs = InstalledSystemCodecs();
    if (!codecs) return;
    try {
        lease_ = codecs->LeaseThread();
    } catch (...) {
        // Out of memory: each decode then makes the thread ready for itself.
    }
}

DecodingThread::~DecodingThread() = default;

std::vector<std::string> ParseCodecExtensions(std::string_view text) {
    std::vector<std::string> extensions;
    std::string entry;
    auto finish = [&] {
        if (!entry.empty() && std::find(extensions.begin(), extensions.end(), entry) == extensions.end())
            extensions.push_back(entry);
        entry.clear();
    };
    for (const char c : text) {
        if (c == ';' || c == ',') {
            finish();
        } else if (c != '.' && c != '*' && c != ' ' && c != '\t') {
            entry.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
        }
    }
    finish();
    return extensions;
}

}  // namespace cs
