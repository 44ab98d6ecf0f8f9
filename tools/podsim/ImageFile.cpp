#include "ImageFile.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vantelo::podsim {

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush())
            throw std::runtime_error("cannot write " + temporary);
    }
    std::filesystem::rename(temporary, path);
}

} // namespace vantelo::podsim
