#include "scene/named_textures.h"

#include <algorithm>
#include <new>

#include "scene/texture_loading.h"

namespace cs {

Texture* NamedTextureList::Find(const std::string& name) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == name; });
    return it == entries_.end() ? nullptr : it->texture.get();
}

Status NamedTextureList::Load(const char* name, Texture** texture, const ResourceStore& resources) {
    if (texture != nullptr) *texture = nullptr;
    if (name == nullptr) return status::kPointer;
    if (Texture* listed = Find(name)) {
        if (texture != nullptr) *texture = listed;
        return status::kNothingToDo;
    }
    try {
        auto loaded = std::make_unique<Texture>();
        if (Status s = FindNamedTexture(loaded.get(), name, resources); s != status::kOk) return Failed(s) ? s : status::kFail;
        if (entries_.size() == entries_.capacity()) entries_.reserve(entries_.size() + 4);
        entries_.push_back({name, std::move(loaded)});
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
    if (texture != nullptr) *texture = entries_.back().texture.get();
    return status::kOk;
}

std::unique_ptr<Texture> NamedTextureList::Remove(const std::string& name) {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == name; });
    if (it == entries_.end()) return nullptr;
    std::unique_ptr<Texture> texture = std::move(it->texture);
    entries_.erase(it);
    return texture;
}

}  // namespace cs
