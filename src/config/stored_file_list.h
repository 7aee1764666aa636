#pragma once
// Loading and saving one stored list (values "00000", "00001", ... in a key
// of their own) for the list dialog. Saving never leaves a half-written
// list behind: the new entries overwrite the old values in place, surplus
// values are removed only once every entry is written, and any failure on
// the way writes the old values back.
#include <cstdint>
#include <string>
#include <vector>

#include "config/file_list_entries.h"

namespace cs {

// A system error code; 0 is success.
using SystemError = std::uint32_t;

// The list's key, open for reading and writing.
class ListKey {
public:
    // The type is the key's own code, so that a value of any type can be
    // written back as it was; kStringType is a NUL-terminated text.
    static constexpr std::uint32_t kStringType = 1;
    struct Value {
        std::string name;
        std::uint32_t type = kStringType;
        std::vector<std::uint8_t> bytes;
    };

    virtual ~ListKey() = default;
    // Every value with its type and bytes, in the key's own order.
    virtual SystemError ReadAll(std::vector<Value>& values) const = 0;
    virtual SystemError Write(const Value& value) = 0;
    virtual SystemError Remove(const std::string& name) = 0;
    // Drops any keys below the list's key; they are no part of the list.
    virtual void RemoveSubkeys() = 0;
};

// "%05d" of the position.
std::string ListValueName(std::size_t position);

// The usable entries in the key's own order. Values that are not strings,
// are empty or longer than kMaxPathChars (in UTF-16 units) are passed over (the list
// readers could not use them either) without losing the entries after them;
// a string stored without its terminator ends at the end of its data.
std::vector<std::string> LoadFileList(const ListKey& key);

// Replaces the stored list with paths. On failure the key holds the old
// values again (as far as the key still takes writes) and the first error
// is returned.
SystemError SaveFileList(ListKey& key, const std::vector<std::string>& paths);

}  // namespace cs
