#include <windows.h>

#include "scene/resource_store.h"

namespace cs {
namespace {

// The executable's resources of the type named "RT_RCDATA" (a name, not
// the predefined numeric type). Loaded resources stay mapped for the life
// of the module, so the span needs no owner.
class ModuleResourceStore final : public ResourceStore {
public:
    std::span<const std::uint8_t> Find(const char* name) const override {
        if (name == nullptr || *name == '\0') return {};
        HMODULE module = GetModuleHandleA(nullptr);
        HRSRC info = FindResourceA(module, name, "RT_RCDATA");
        if (info == nullptr) return {};
        HGLOBAL loaded = LoadResource(module, info);
        if (loaded == nullptr) return {};
        const void* data = LockResource(loaded);
        const DWORD size = SizeofResource(module, info);
        if (data == nullptr || size == 0) return {};
        return {static_cast<const std::uint8_t*>(data), size};
    }
};

}  // namespace

const ResourceStore& ProgramResources() {
    static const ModuleResourceStore store;
    return store;
}

}  // namespace cs
