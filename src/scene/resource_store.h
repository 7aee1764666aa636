#pragma once
// Where named assets live inside the program: resources whose type is the
// name "RT_RCDATA". On Windows the program's own module supplies them;
// tests and host tools supply theirs in memory.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace cs {

class ResourceStore {
public:
    virtual ~ResourceStore() = default;
    // The bytes of the resource with that name (letter case ignored, as the
    // system does), or an empty span when there is none. The bytes stay
    // valid as long as the store.
    virtual std::span<const std::uint8_t> Find(const char* name) const = 0;
};

class MemoryResourceStore final : public ResourceStore {
public:
    void Add(const std::string& name, std::vector<std::uint8_t> bytes);
    std::span<const std::uint8_t> Find(const char* name) const override;

private:
    std::map<std::string, std::vector<std::uint8_t>> resources_;  // upper-case names
};

// The program's own resources (none outside Windows).
const ResourceStore& ProgramResources();

}  // namespace cs
