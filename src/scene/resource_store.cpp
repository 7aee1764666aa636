#include "scene/resource_store.h"

#include <cctype>

namespace cs {
namespace {

std::string Upper(const char* name) {
    std::string upper;
    for (const char* p = name; *p != '\0'; ++p) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return upper;
}

}  // namespace

void MemoryResourceStore::Add(const std::string& name, std::vector<std::uint8_t> bytes) {
    resources_[Upper(name.c_str())] = std::move(bytes);
}

std::span<const std::uint8_t> MemoryResourceStore::Find(const char* name) const {
    if (name == nullptr) return {};
    const auto it = resources_.find(Upper(name));
    if (it == resources_.end()) return {};
    return it->second;
}

}  // namespace cs
