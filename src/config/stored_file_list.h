#pragma once
// Loading and saving one stored list (values "00000", "00001", ... in a key
// of their own) for the list dialog. Saving never leaves a half-written
// list behind: the new entries overwrite the old values in place, surplus
// values are removed only once every entry is written, and any failure on
// the way writes the old values back.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/file_list_entries.h"
#include "config/settings_store.h"

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

// The one reading of a stored list, shared by the saver and the list dialog
// so that the dialog shows exactly the list the saver uses: the values named
// "00000" up to the key's value count less one, in that order. Missing
// values, values that are not strings, and empty ones or those longer than
// kMaxPathChars (in UTF-16 units) are passed over without losing the entries
// after them; a string stored without its terminator ends at the end of its
// data, as the system reads such a value.
std::vector<std::string> ReadListEntries(std::uint32_t value_count,
                                         const std::function<std::optional<StoredValue>(const std::string&)>& value_named);

// ReadListEntries over the values the key holds.
std::vector<std::string> LoadFileList(const ListKey& key);

// Replaces the stored list with paths. On failure the key holds the old
// values again (as far as the key still takes writes) and the first error
// is returned.
SystemError SaveFileList(ListKey& key, const std::vector<std::string>& paths);

}  // namespace cs
