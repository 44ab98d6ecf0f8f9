#pragma once

#include "platform/SettingsStore.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantelo {

// The text form of registry keys that the registry editor exports and imports.

struct RegValue {
    std::string name; // empty for the key's default value
    StoreValue value;
};

// Orders key paths as the registry lists keys: letters compared as upper
// case, and every key followed at once by the keys below it.
struct RegPathLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// Full key path, root included, to the key's values in the order they came.
using RegTree = std::map<std::string, std::vector<RegValue>, RegPathLess>;

struct RegParseError {
    int line = 0; // 1-based
};

// Input is UTF-8 with or without a byte order mark, or UTF-16LE with one.
std::variant<RegTree, RegParseError> ParseRegFile(std::span<const std::uint8_t> bytes);

// UTF-8 without a byte order mark, LF line ends.
std::string SerializeRegFile(const RegTree& tree);

// Backslash-separated names, none of them empty.
bool IsKeyPath(std::string_view path);

// Value names, like key names, match without regard to the case of ASCII letters.
bool EqualNoCase(std::string_view a, std::string_view b);
const StoreValue* FindValue(const std::vector<RegValue>& values, std::string_view name);
// Replaces the value of that name or appends it; false when it already held that.
bool PutValue(std::vector<RegValue>& values, std::string_view name, StoreValue value);

} // namespace vantelo
