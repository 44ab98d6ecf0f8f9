#pragma once

#include <QString>

#include <optional>
#include <string_view>

namespace vantelo::station {

// Walks one JSON text without building a document: a report reads a million
// record lines and needs a few members of each.
class JsonScanner {
public:
    explicit JsonScanner(std::string_view text) : text_(text) {}

    // Consumes `c` after any blanks; false, consuming nothing else, if it is not next.
    bool Take(char c);
    bool AtEnd();
    std::optional<QString> String();
    // A string as written, escapes and all: for keys, and strings passed over.
    std::optional<std::string_view> Raw();
    std::optional<double> Number();
    // Any value, nested up to a limit; false when it is not one.
    bool Skip() { return SkipAt(0); }

private:
    void Blanks();
    bool SkipAt(int depth);

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace vantelo::station
