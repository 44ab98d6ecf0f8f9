// Any text as the settings store file: what parses is written and read back
// unchanged, what does not is never written over, and the catalogue loaded
// from it finds each reply at its first entry.
#include "Require.h"
#include "catalogue/RegisterPod.h"
#include "platform/store/FileSettingsStore.h"
#include "platform/store/RegFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

using namespace vantelo;
using fuzz::Require;

bool SameTree(const RegTree& a, const RegTree& b)
{
    const auto sameValue = [](const RegValue& x, const RegValue& y) {
        return x.name == y.name && x.value.type == y.value.type && x.value.data == y.value.data;
    };
    return std::ranges::equal(a, b, [&](const auto& x, const auto& y) {
        return x.first == y.first && std::ranges::equal(x.second, y.second, sameValue);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parsed = ParseRegFile({data, size});
    if (const auto* tree = std::get_if<RegTree>(&parsed)) {
        const std::string text = SerializeRegFile(*tree);
        const auto* written = reinterpret_cast<const std::uint8_t*>(text.data());
        const auto again = ParseRegFile({written, text.size()});
        Require(std::holds_alternative<RegTree>(again) && SameTree(*tree, std::get<RegTree>(again)),
                "a written store reads back as the tree it was written from");
    }

    static const QTemporaryDir dir;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QFile file(dir.filePath("registry.reg"));
    Require(file.open(QIODevice::WriteOnly) && file.write(input) == input.size(),
            "the input is written to the store file");
    file.close();
    FileSettingsStore store(file.fileName());
    const PodCatalogue types = RegisterPod::InitPodTypes(store);
    Require(!types.empty() && types.size() <= 32768, "the catalogue has 1 to 32,768 entries");
    if (std::holds_alternative<RegParseError>(parsed) && !input.trimmed().isEmpty())
        Require(file.open(QIODevice::ReadOnly) && file.readAll() == input,
                "a store that does not parse is never written over");
    for (int reply = 0; reply <= 0xFF; ++reply) {
        const auto first = std::ranges::find(types, reply, &PodTypeInfo::Reply);
        const auto found = RegisterPod::FindPodType(types, static_cast<std::uint8_t>(reply));
        Require(found ? *found == first - types.begin() : first == types.end(),
                "a pod type is found at the first entry with its reply");
    }
    return 0;
}
