#pragma once

#include "app/Download.h"
#include "platform/FileSettingsStore.h"
#include "platform/QtReplyTimer.h"
#include "platform/SerialPort.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace vantelo::testing {

// A port with nothing on the line: it opens when told it can, and records
// how often it was closed.
struct IdlePort final : SerialPort {
    bool openable = true;
    bool open = false;
    int closes = 0;

    void CommPort(int) override {}
    bool PortOpen() const override { return open; }
    bool PortOpen(bool wanted) override
    {
        if (!wanted && open)
            ++closes;
        open = wanted && openable;
        return open == wanted;
    }
    void RTSEnable(bool) override {}
    bool Settings(std::string_view) override { return open; }
    void Output(std::span<const std::uint8_t>) override {}
    std::int16_t InBufferCount() override { return 0; }
    std::vector<std::uint8_t> Input() override { return {}; }
};

// The real window offscreen, on a store file of its own, with scripted dialogs.
class WindowFixture : public ::testing::Test {
protected:
    std::unique_ptr<Download> Start(const QString& commandLine = {})
    {
        return std::make_unique<Download>(DownloadServices{
            port, replyTimer, store, fileDialog, clipboard, msgBox, commandLine});
    }

    // Writes a file into the test's folder and returns its path.
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    FileSettingsStore store{dir.filePath("registry.reg")};
    QtReplyTimer replyTimer;
    IdlePort port;
    ScriptedFileDialog fileDialog;
    RecordingClipboard clipboard;
    ScriptedMsgBox msgBox;
};

} // namespace vantelo::testing
