// Any text as the settings store file: what the parser makes of it is written
// and read back unchanged, and the catalogue loaded on top stays usable.
#include "Require.h"
#include "catalogue/RegisterPod.h"
#include "platform/FileSettingsStore.h"
#include "platform/RegFile.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace {

using namespace vantelo;
using fuzz::Require;

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool SameValues(const std::vector<RegValue>& a, const std::vector<RegValue>& b)
{
    return std::ranges::equal(a, b, [](const RegValue& x, const RegValue& y) {
        return x.name == y.name && x.value.type == y.value.type && x.value.data == y.value.data;
    });
}

bool SameTree(const RegTree& a, const RegTree& b)
{
    return std::ranges::equal(a, b, [](const auto& x, const auto& y) {
        return x.first == y.first && SameValues(x.second, y.second);
    });
}

// The same tree again means the same text again.
bool CheckRoundTrip(std::span<const std::uint8_t> bytes)
{
    const auto parsed = ParseRegFile(bytes);
    const auto* tree = std::get_if<RegTree>(&parsed);
    if (tree == nullptr)
        return false;
    const auto reread = ParseRegFile(AsBytes(SerializeRegFile(*tree)));
    const auto* again = std::get_if<RegTree>(&reread);
    Require(again != nullptr, "a written store parses");
    Require(SameTree(*tree, *again), "a written store reads back as the tree it was written from");
    return true;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    Require(file.open(QIODevice::ReadOnly), "the store file stays readable");
    return file.readAll();
}

void CheckCatalogue(const QByteArray& input, bool parses)
{
    static const QTemporaryDir dir;
    static const QString path = dir.filePath("registry.reg");
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(input) == input.size(),
            "the input is written to the store file");
    file.close();

    const PodCatalogue types = [&] {
        FileSettingsStore store(path);
        return RegisterPod::InitPodTypes(store);
    }();
    Require(!types.empty() && types.size() <= std::size_t{RegisterPod::MaxEntries},
            "the catalogue has 1 to 32,768 entries");
    std::array<std::optional<std::size_t>, 256> first{};
    for (std::size_t i = types.size(); i-- > 0;)
        first[types[i].Reply] = i;
    // A reply that is absent is looked for through the whole catalogue: one will do.
    bool absentLookedUp = false;
    for (int reply = 0; reply <= 0xFF; ++reply) {
        const auto expected = first[static_cast<std::size_t>(reply)];
        if (!expected && std::exchange(absentLookedUp, true))
            continue;
        const auto found = RegisterPod::FindPodType(types, static_cast<std::uint8_t>(reply));
        Require(found ? expected && static_cast<std::size_t>(*found) == *expected : !expected,
                "a pod type is found at the first entry with its reply, in bounds");
    }
    // Only a file with nothing in it may be replaced when it does not parse.
    if (!parses && !input.trimmed().isEmpty())
        Require(Contents(path) == input, "a store that does not parse is never written over");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool parses = CheckRoundTrip({data, size});
    CheckCatalogue(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                   parses);
    return 0;
}
