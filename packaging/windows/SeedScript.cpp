// Writes the installer's part of the pod type catalogue: where the program's
// start-up check looks and the version it wants, and the seed as a macro,
// the program's own WritePodTypes run against a store that turns each write
// into an NSIS registry command. The installer runs elevated, which a first
// start of the program by an ordinary user is not.

#include "catalogue/RegisterPod.h"
#include "platform/LittleEndian.h"
#include "platform/SettingsStore.h"

#include <fstream>
#include <iostream>
#include <map>

namespace {

using namespace vantelo;

// An NSIS string in double quotes: $ and " are its escapes.
std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '$')
            out += "$$";
        else if (c == '"')
            out += "$\\\"";
        else
            out += c;
    }
    return out + '"';
}

// An empty store that only takes writes.
class NsisSeedStore final : public SettingsStore {
public:
    explicit NsisSeedStore(std::ostream& out) : out_(out) {}

    std::optional<StoreKey> OpenKey(std::string_view) override { return std::nullopt; }
    std::optional<StoreKey> OpenKeyForListing(std::string_view) override { return std::nullopt; }
    std::optional<std::string> EnumKey(StoreKey, std::uint32_t) override { return std::nullopt; }
    std::optional<StoreValue> QueryValue(StoreKey, std::string_view) override { return std::nullopt; }

    std::optional<StoreKey> CreateKey(std::string_view path) override
    {
        keys_[++lastKey_] = std::string(path);
        return lastKey_;
    }

    bool SetValue(StoreKey key, std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data) override
    {
        const std::string where = "HKLM " + Quoted(keys_.at(key)) + ' ' + Quoted(name) + ' ';
        if (type == StoreText) {
            out_ << "WriteRegStr " << where << Quoted({reinterpret_cast<const char*>(data.data()), data.size()})
                 << '\n';
        } else if (type == StoreNumber && data.size() == 4) {
            out_ << "WriteRegDWORD " << where << ReadLittleEndian32(data.first<4>()) << '\n';
        } else {
            failed_ = true;
        }
        return !failed_;
    }

    void CloseKey(StoreKey key) override { keys_.erase(key); }

    bool Failed() const { return failed_; }

private:
    std::ostream& out_;
    std::map<StoreKey, std::string> keys_;
    StoreKey lastKey_ = 0;
    bool failed_ = false;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT.nsh\n";
        return 2;
    }
    std::ofstream out(argv[1]);
    out << "!define VANTELO_TYPES_KEY " << Quoted(RegisterPod::TypesKey) << '\n'
        << "!define VANTELO_VERSION_VALUE " << Quoted(RegisterPod::VersionValue) << '\n'
        << "!define VANTELO_SEED_VERSION " << RegisterPod::SeedVersion << '\n'
        << "!macro VANTELO_SEED_CATALOGUE\n";
    NsisSeedStore store(out);
    RegisterPod::WritePodTypes(store);
    out << "!macroend\n";
    out.close();
    if (store.Failed() || !out) {
        std::cerr << argv[1] << ": cannot write the catalogue's seed\n";
        return 1;
    }
    return 0;
}
