#pragma once

#include <filesystem>
#include <vector>

namespace vantelo::podsim {

// Symbolic links to the ports, removed again when podsim ends.
class Links {
public:
    Links() = default;
    ~Links();
    Links(const Links&) = delete;
    Links& operator=(const Links&) = delete;

    // Replaces a link left behind by an earlier run; makes the directory.
    void Add(const std::filesystem::path& target, const std::filesystem::path& link);

private:
    std::vector<std::filesystem::path> links_;
};

} // namespace vantelo::podsim
