#include "support/WindowFixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace vantelo {
namespace {

// Files tell apart by their type code.
using OpenPodFile = testing::WindowFixture;

TEST_F(OpenPodFile, DialogLoadShowsTheDisplayName)
{
    const auto w = Start();
    fileDialog.answers.push_back(ConfigFile("Hall2.TXF", 1));
    QString name;
    ASSERT_TRUE(w->open_pod_file(name));
    EXPECT_EQ(name, "Hall2");
    EXPECT_EQ(w->FileName->text(), "Hall2");
    ASSERT_EQ(fileDialog.calls.size(), 1u);
    EXPECT_EQ(fileDialog.calls[0].flags, 4096);
    EXPECT_EQ(fileDialog.calls[0].filter, "Trellin Export File (*.TXF)| *.TXF");
    EXPECT_EQ(fileDialog.calls[0].filterIndex, 1);
    EXPECT_EQ(clipboard.texts, (std::vector<QString>{""}));
    EXPECT_EQ(w->configuration().type_code, 1);
    EXPECT_TRUE(msgBox.calls.empty());
    // A longer file is read up to its layout.
    QString longer = ConfigFile("big.TXF", 5, 8, 0, PodFile::Size + 4096);
    EXPECT_TRUE(w->open_pod_file(longer));
    EXPECT_EQ(w->configuration().type_code, 5);
}

TEST_F(OpenPodFile, RefusedFilesAreSaidOnceAndKeepThePreviousConfiguration)
{
    const auto w = Start();
    QString good = ConfigFile("good.TXF", 3);
    ASSERT_TRUE(w->open_pod_file(good));
    QDir(dir.path()).mkdir("folder.TXF");
    const QString failed = "Failed to open file " + dir.path() + "/";
    const struct {
        QString path;
        QString message;
        int typeAfter = 3;
    } rows[] = {
        {dir.filePath("none.TXF"), failed + "none.TXF"},
        {dir.filePath("folder.TXF"), failed + "folder.TXF"},
        {ConfigFile("short.TXF", 4, 8, 0, PodFile::Size - 1), failed + "short.TXF"},
        {ConfigFile("long.TXF", 4, 32761), failed + "long.TXF: main_length 32761 is outside 0 to 32760"},
        {ConfigFile("neg.TXF", 4, -1), failed + "neg.TXF: main_length -1 is outside 0 to 32760"},
        {ConfigFile("ir.TXF", 7, 8, 32761), failed + "ir.TXF: ir_length 32761 is outside 0 to 32760"},
        // A name too short for a display name fails after the file was read.
        {ConfigFile("x.b", 6), "Failed to open file x.b", 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message.toStdString());
        QString path = row.path;
        w->FileName->setText("old");
        msgBox.calls.clear();
        EXPECT_FALSE(w->open_pod_file(path));
        ASSERT_EQ(msgBox.calls.size(), 1u);
        EXPECT_EQ(msgBox.calls[0].text, row.message);
        EXPECT_EQ(msgBox.calls[0].title, "Error!");
        EXPECT_EQ(msgBox.calls[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::None);
        EXPECT_EQ(clipboard.texts.back(), row.path);
        EXPECT_EQ(w->configuration().type_code, row.typeAfter);
        EXPECT_EQ(w->FileName->text(), "");
    }
    EXPECT_TRUE(fileDialog.calls.empty());
}

TEST_F(OpenPodFile, LoadButtonResetsFirstAndEnablesSearchOnSuccess)
{
    const auto w = Start();
    LoadThroughDialog(*w, ConfigFile("job1.TXF", 1));
    EXPECT_TRUE(w->search->isEnabled());
    EXPECT_EQ(w->FileName->text(), "job1");
    w->ProgramPod->setEnabled(true);
    w->Load_Click(); // cancelled this time: no failure
    EXPECT_FALSE(w->search->isEnabled());
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_EQ(w->FileName->text(), "");
    EXPECT_EQ(clipboard.texts.back(), "");
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(OpenPodFile, CommandLineLoadsHalfASecondAfterStartUpUnlessLoadCameFirst)
{
    const QString path = ConfigFile("Hall2.TXF", 2);
    const auto w = Start("\"" + path + "\"");
    EXPECT_EQ(w->Timer2->interval(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(w->search->isEnabled(), 3000);
    EXPECT_FALSE(w->Timer2->isActive()) << "the tick comes once";
    EXPECT_EQ(w->FileName->text(), "Hall2");
    EXPECT_EQ(w->PodType[0]->text(), "--------------") << "a search followed";
    EXPECT_EQ(clipboard.texts.back(), path);
    EXPECT_TRUE(fileDialog.calls.empty());

    const auto other = Start(path);
    LoadThroughDialog(*other, ConfigFile("chosen.TXF", 3));
    QTest::qWait(800);
    EXPECT_EQ(other->FileName->text(), "chosen");
    EXPECT_EQ(other->configuration().type_code, 3);
}

TEST_F(OpenPodFile, CommandLineQuotesAreStrippedAtEachEnd)
{
    const QString path = ConfigFile("job.TXF", 2);
    const struct {
        QString commandLine;
        bool loaded;
        std::size_t dialogs; // an empty path asks the user
    } rows[] = {{path + "\"", true, 0}, {"\"" + path, true, 0}, {"\"", false, 1}, {"\"\"", false, 1},
                {dir.filePath("missing.TXF"), false, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commandLine.toStdString());
        fileDialog.calls.clear();
        msgBox.calls.clear();
        const auto w = Start(row.commandLine);
        w->Timer2_Timer();
        EXPECT_EQ(w->search->isEnabled(), row.loaded);
        EXPECT_EQ(fileDialog.calls.size(), row.dialogs);
        EXPECT_EQ(msgBox.calls.size(), !row.loaded && !row.dialogs ? 1u : 0u);
    }
}

} // namespace
} // namespace vantelo
