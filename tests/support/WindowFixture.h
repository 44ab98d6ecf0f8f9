#pragma once

#include "app/Download.h"
#include "config/PodFile.h"
#include "platform/store/FileSettingsStore.h"
#include "sim/Clock.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/Sim.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace vantelo::testing {

// The real window offscreen, on a store file of its own, with the simulated
// line behind its port (every port missing until a test says otherwise) and
// scripted dialogs.
class WindowFixture : public ::testing::Test {
protected:
    std::unique_ptr<Download> Start(const QString& commandLine = {})
    {
        return std::make_unique<Download>(DownloadServices{*port, clock, store, fileDialog, clipboard, msgBox,
                                                           commandLine, [this] { ++programEnds; }});
    }

    // Writes a file into the test's folder and returns its path.
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testing::WriteFile(path, {bytes.data(), std::size_t(bytes.size())}));
        return path;
    }

    // A configuration file of the full size (see ConfigFileBytes).
    QString ConfigFile(const QString& name, std::uint8_t typeCode, std::int32_t mainLength = 8,
                       std::int32_t irLength = 0, qsizetype size = ConfigFileSize)
    {
        return WriteFile(name, ConfigFileBytes(typeCode, mainLength, irLength, size));
    }

    // Loads a configuration through the Load button and the dialog.
    void LoadThroughDialog(Download& w, const QString& path)
    {
        fileDialog.answers.push_back(path);
        w.Load_Click();
    }

    std::vector<QString> Messages() const { return msgBox.Texts(); }

    QTemporaryDir dir;
    FileSettingsStore store{dir.filePath("registry.reg")};
    sim::Clock clock;
    sim::Line line{clock};
    SerialPort* port = &line; // what the window's port is
    ScriptedFileDialog fileDialog;
    RecordingClipboard clipboard;
    ScriptedMsgBox msgBox;
    int programEnds = 0;
};

} // namespace vantelo::testing
