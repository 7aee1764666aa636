#include <windows.h>

#include <string>

#include "imaging/data_source.h"
#include "imaging/pl_exception.h"

namespace cs {

ResourceSource::~ResourceSource() { Close(); }

int ResourceSource::Open(void* module, int id, const char* type) {
    Close();
    HMODULE hmodule = static_cast<HMODULE>(module);
    HRSRC info = FindResourceA(hmodule, MAKEINTRESOURCEA(id), type != nullptr ? type : MAKEINTRESOURCEA(10));
    if (info == nullptr) return plerr::kCannotOpen;
    HGLOBAL loaded = LoadResource(hmodule, info);
    if (loaded == nullptr) return plerr::kCannotOpen;
    const void* data = LockResource(loaded);
    const DWORD size = SizeofResource(hmodule, info);
    if (data == nullptr || size == 0) {
        FreeResource(loaded);
        return plerr::kCannotOpen;
    }
    loaded_ = loaded;
    OpenRecord("Resource: " + std::to_string(id), size);
    SetData(static_cast<const std::uint8_t*>(data));
    return 0;
}

void ResourceSource::Close() {
    DataSource::Close();
    if (loaded_ != nullptr) {
        FreeResource(static_cast<HGLOBAL>(loaded_));
        loaded_ = nullptr;
    }
}

}  // namespace cs
