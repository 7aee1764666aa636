#pragma once
// Loading and saving one stored list (values "00000", "00001", ... in a key
// of their own) for the list dialog. Saving never leaves a half-written
// list behind: the new entries overwrite the old values in place, surplus
// values are removed only once every entry is written, and any failure on
// the way writes the old values back.
#include <cstdint>
#include <string>
#include <vector>

#include "config/settings_store.h"

namespace cs {

// A system error code; 0 is success.
using SystemError = std::uint32_t;

// The list's key, open for reading and writing.
class ListKey {
public:
    struct Value {
        std::string name;
        StoredValue value;
    };

    virtual ~ListKey() = default;
    // Every value with its type and bytes, in the key's own order.
    virtual SystemError ReadAll(std::vector<Value>& values) const = 0;
    virtual SystemError Write(const std::string& name, const StoredValue& value) = 0;
    virtual SystemError Remove(const std::string& name) = 0;
    // Drops any keys below the list's key; they are no part of the list.
    virtual void RemoveSubkeys() = 0;
};

// "%05d" of the position.
std::string ListValueName(std::size_t position);

// The usable entries in the key's own order. Values that are not strings,
// are empty or longer than kMaxListEntryChars are passed over (the list
// readers could not use them either) without losing the entries after them;
// a string stored without its terminator ends at the end of its data.
std::vector<std::string> LoadFileList(const ListKey& key);

// Replaces the stored list with paths. On failure the key holds the old
// values again (as far as the key still takes writes) and the first error
// is returned.
SystemError SaveFileList(ListKey& key, const std::vector<std::string>& paths);

}  // namespace cs
