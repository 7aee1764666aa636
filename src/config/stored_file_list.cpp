#include "config/stored_file_list.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

#include "base/utf8_text.h"


namespace cs {
namespace {

ListKey::Value StringValue(const std::string& name, const std::string& text) {
    ListKey::Value value{name, ListKey::kStringType, {text.begin(), text.end()}};
    value.bytes.push_back(0);
    return value;
}

// Puts the old values back over whatever the failed save left. Every step is
// tried even when one fails: each value restored is one entry not lost.
void Restore(ListKey& key, const std::vector<ListKey::Value>& old_values, const std::vector<std::string>& written) {
    std::set<std::string> old_names;
    for (const auto& old : old_values) {
        old_names.insert(old.name);
        key.Write(old);
    }
    for (const auto& name : written)
        if (!old_names.contains(name)) key.Remove(name);
}

}  // namespace

std::string ListValueName(std::size_t position) {
    char name[24];
    std::snprintf(name, sizeof name, "%05zu", position);
    return name;
}

std::vector<std::string> ReadListEntries(std::uint32_t value_count,
                                         const std::function<std::optional<StoredValue>(const std::string&)>& value_named) {
    std::vector<std::string> paths;
    for (std::uint32_t i = 0; i < value_count; ++i) {
        const auto value = value_named(ListValueName(i));
        if (!value || value->type != ValueType::String) continue;
        const auto& bytes = value->bytes;
        const void* nul = std::memchr(bytes.data(), 0, bytes.size());
        const std::size_t length = nul ? static_cast<const std::uint8_t*>(nul) - bytes.data() : bytes.size();
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), length);
        // The limit counts characters as the system does, not UTF-8 bytes.
        if (text.empty() || Utf16Length(text) > kMaxPathChars) continue;
        paths.emplace_back(text);
    }
    return paths;
}

std::vector<std::string> LoadFileList(const ListKey& key) {
    std::vector<ListKey::Value> values;
    key.ReadAll(values);  // what was read before a failure still counts
    std::map<std::string, const ListKey::Value*> by_name;
    for (const auto& value : values) by_name.emplace(value.name, &value);
    return ReadListEntries(static_cast<std::uint32_t>(values.size()),
                           [&by_name](const std::string& name) -> std::optional<StoredValue> {
                               const auto found = by_name.find(name);
                               if (found == by_name.end()) return std::nullopt;
                               const ListKey::Value& value = *found->second;
                               return StoredValue{value.type == ListKey::kStringType ? ValueType::String
                                                                                     : ValueType::Other,
                                                  value.bytes};
                           });
}

SystemError SaveFileList(ListKey& key, const std::vector<std::string>& paths) {
    // Without the old values there would be nothing to go back to.
    std::vector<ListKey::Value> old_values;
    if (const SystemError error = key.ReadAll(old_values)) return error;

    std::vector<std::string> written;
    std::set<std::string> new_names;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string name = ListValueName(i);
        written.push_back(name);
        new_names.insert(name);
        if (const SystemError error = key.Write(StringValue(name, paths[i]))) {
            Restore(key, old_values, written);
            return error;
        }
    }
    for (const auto& old : old_values) {
        if (new_names.contains(old.name)) continue;
        if (const SystemError error = key.Remove(old.name)) {
            Restore(key, old_values, written);
            return error;
        }
    }
    key.RemoveSubkeys();
    return 0;
}

}  // namespace cs
