#pragma once
// The device's list of named textures: assets that several meshes share are
// loaded once and found again by the name they were asked for.
#include <memory>
#include <string>
#include <vector>

#include "base/status.h"
#include "scene/resource_store.h"
#include "scene/texture.h"

namespace cs {

class NamedTextureList {
public:
    // The entry asked for by exactly this name (letter case counts).
    Texture* Find(const std::string& name) const;
    // The listed texture and 1, or a newly found one (FindNamedTexture),
    // appended, and 0; or the lookup's failure and no texture.
    Status Load(const char* name, Texture** texture, const ResourceStore& resources);
    // Takes the entry out of the list; nullptr when there is none.
    std::unique_ptr<Texture> Remove(const std::string& name);

    std::size_t size() const { return entries_.size(); }
    Texture& At(std::size_t i) const { return *entries_[i].texture; }

private:
    struct Entry {
        // The name it was asked for: a texture read from a container file
        // carries the name stored in its record instead, and must still be
        // found again by the name it was loaded with.
        std::string key;
        std::unique_ptr<Texture> texture;
    };
    std::vector<Entry> entries_;
};

}  // namespace cs
