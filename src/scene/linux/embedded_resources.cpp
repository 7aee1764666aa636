// The Linux program's built-in assets: the generated files, linked into the
// program by the build (embedded_assets.S) with a table of names.
#include <strings.h>

#include <cstdint>

#include "scene/resource_store.h"

extern "C" {
struct EmbeddedAsset {
    const char* name;
    const std::uint8_t* data;
    std::uint64_t size;
};
// Ends with an entry without a name.
extern const EmbeddedAsset cs_embedded_assets[];
}

namespace cs {
namespace {

class EmbeddedResourceStore final : public ResourceStore {
public:
    std::span<const std::uint8_t> Find(const char* name) const override {
        if (name == nullptr || *name == '\0') return {};
        for (const EmbeddedAsset* asset = cs_embedded_assets; asset->name; ++asset) {
            // Letter case ignored, as the Windows resources do.
            if (strcasecmp(asset->name, name) == 0) return {asset->data, static_cast<std::size_t>(asset->size)};
        }
        return {};
    }
};

}  // namespace

const ResourceStore& ProgramResources() {
    static const EmbeddedResourceStore store;
    return store;
}

}  // namespace cs
