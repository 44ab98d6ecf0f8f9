#include "platform/store/FileSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <variant>

namespace vantelo {

namespace {

constexpr std::string_view Root = "HKEY_LOCAL_MACHINE";
constexpr const char* Fallback = "using built-in pod types, file left unchanged";

// Paths through the interface are relative to the machine root.
std::optional<std::string> FullPath(std::string_view path)
{
    std::string full(Root);
    if (!path.empty()) {
        full += '\\';
        full += path;
    }
    if (!IsKeyPath(full))
        return std::nullopt;
    return full;
}

bool IsBelow(std::string_view path, std::string_view parent)
{
    return path.size() > parent.size() && path[parent.size()] == '\\' &&
           EqualNoCase(path.substr(0, parent.size()), parent);
}

} // namespace

FileSettingsStore::FileSettingsStore(const QString& filePath) : filePath_(filePath)
{
    QFile file(filePath_);
    if (!file.exists())
        return;
    keepFile_ = true;
    const QByteArray name = QFile::encodeName(filePath_);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        std::fprintf(stderr, "vantelo: %s: cannot read the settings store; %s\n", name.constData(), Fallback);
        return;
    }
    // An empty file holds nothing anybody could lose.
    if (bytes.trimmed().isEmpty()) {
        keepFile_ = false;
        return;
    }
    auto parsed = ParseRegFile(
        {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
    if (const auto* bad = std::get_if<RegParseError>(&parsed)) {
        std::fprintf(stderr, "vantelo: %s line %d: cannot parse the settings store; %s\n", name.constData(), bad->line,
                     Fallback);
        return;
    }
    tree_ = std::move(std::get<RegTree>(parsed));
    keepFile_ = false;
}

std::optional<StoreKey> FileSettingsStore::OpenKey(std::string_view path)
{
    auto full = FullPath(path);
    if (!full || !Exists(*full))
        return std::nullopt;
    return NewHandle(std::move(*full));
}

std::optional<StoreKey> FileSettingsStore::OpenKeyForListing(std::string_view path)
{
    return OpenKey(path);
}

// The tree keeps every key's descendants right after it, grouped by child
// and in the registry's order, so counting distinct first names is enough.
std::optional<std::string> FileSettingsStore::EnumKey(StoreKey key, std::uint32_t index)
{
    const std::string* path = PathOf(key);
    if (path == nullptr)
        return std::nullopt;
    std::optional<std::string_view> previous;
    std::uint32_t count = 0;
    for (auto it = tree_.lower_bound(*path + '\\'); it != tree_.end() && IsBelow(it->first, *path); ++it) {
        auto child = std::string_view(it->first).substr(path->size() + 1);
        child = child.substr(0, child.find('\\'));
        if (previous && EqualNoCase(child, *previous))
            continue;
        if (count++ == index)
            return std::string(child);
        previous = child;
    }
    return std::nullopt;
}

std::optional<StoreValue> FileSettingsStore::QueryValue(StoreKey key, std::string_view name)
{
    const std::string* path = PathOf(key);
    if (path == nullptr)
        return std::nullopt;
    const auto found = tree_.find(*path);
    if (found == tree_.end())
        return std::nullopt;
    const StoreValue* value = FindValue(found->second, name);
    if (value == nullptr)
        return std::nullopt;
    return *value;
}

std::optional<StoreKey> FileSettingsStore::CreateKey(std::string_view path)
{
    auto full = FullPath(path);
    if (!full)
        return std::nullopt;
    if (tree_.try_emplace(*full).second)
        changed_ = true;
    return NewHandle(std::move(*full));
}

bool FileSettingsStore::SetValue(StoreKey key, std::string_view name, std::uint32_t type,
                                 std::span<const std::uint8_t> data)
{
    const std::string* path = PathOf(key);
    if (path == nullptr)
        return false;
    if (PutValue(tree_[*path], name, StoreValue{type, {data.begin(), data.end()}}))
        changed_ = true;
    return true;
}

void FileSettingsStore::CloseKey(StoreKey key)
{
    if (handles_.erase(key) != 0 && changed_ && !keepFile_)
        Save();
}

bool FileSettingsStore::Exists(const std::string& fullPath) const
{
    // The key itself or, failing that, its first descendant.
    const auto it = tree_.lower_bound(fullPath);
    return it != tree_.end() && (EqualNoCase(it->first, fullPath) || IsBelow(it->first, fullPath));
}

StoreKey FileSettingsStore::NewHandle(std::string fullPath)
{
    handles_.emplace(++lastHandle_, std::move(fullPath));
    return lastHandle_;
}

const std::string* FileSettingsStore::PathOf(StoreKey key) const
{
    const auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

// Written to a temporary file and renamed over, so a reader never sees half
// a file. A failure leaves the change pending for the next close.
void FileSettingsStore::Save()
{
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QSaveFile file(filePath_);
    const std::string text = SerializeRegFile(tree_);
    const auto size = static_cast<qint64>(text.size());
    if (file.open(QIODevice::WriteOnly) && file.write(text.data(), size) == size && file.commit())
        changed_ = false;
}

} // namespace vantelo
