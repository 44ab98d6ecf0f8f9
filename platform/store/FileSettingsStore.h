#pragma once

#include "platform/SettingsStore.h"
#include "platform/store/RegFile.h"

#include <QString>

#include <map>
#include <string>

namespace vantelo {

// The settings store kept in a registry export file, for systems without a
// registry. The file is read once; closing a key after a change writes it
// back whole. A file that is there but cannot be read or parsed is reported
// once on standard error and never written over.
class FileSettingsStore final : public SettingsStore {
public:
    explicit FileSettingsStore(const QString& filePath);

    std::optional<StoreKey> OpenKey(std::string_view path) override;
    std::optional<StoreKey> OpenKeyForListing(std::string_view path) override;
    std::optional<std::string> EnumKey(StoreKey key, std::uint32_t index) override;
    std::optional<StoreValue> QueryValue(StoreKey key, std::string_view name) override;
    std::optional<StoreKey> CreateKey(std::string_view path) override;
    bool SetValue(StoreKey key, std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data) override;
    void CloseKey(StoreKey key) override;

private:
    bool Exists(const std::string& fullPath) const;
    StoreKey NewHandle(std::string fullPath);
    const std::string* PathOf(StoreKey key) const;
    void Save();

    QString filePath_;
    RegTree tree_;
    bool keepFile_ = false; // the file on disk is not ours to replace
    bool changed_ = false;
    std::map<StoreKey, std::string> handles_; // open handle to full key path
    StoreKey lastHandle_ = 0;
};

} // namespace vantelo
