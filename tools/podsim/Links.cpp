#include "Links.h"

namespace vantelo::podsim {

void Links::Add(const std::filesystem::path& target, const std::filesystem::path& link)
{
    std::filesystem::create_directories(link.parent_path());
    if (std::filesystem::is_symlink(link))
        std::filesystem::remove(link);
    std::filesystem::create_symlink(target, link);
    links_.push_back(link);
}

Links::~Links()
{
    for (const auto& link : links_) {
        std::error_code ignored;
        std::filesystem::remove(link, ignored);
    }
}

} // namespace vantelo::podsim
