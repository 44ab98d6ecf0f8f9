#include "support/WindowFixture.h"

#include "config/PodFile.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace vantelo {
namespace {

class OpenPodFile : public testing::WindowFixture {
protected:
    // A configuration file whose first main image byte tells files apart.
    QString MarkedFile(const QString& name, std::uint8_t typeCode, std::uint8_t marker,
                       qsizetype size = PodFile::Size, std::int32_t mainLength = 8,
                       std::int32_t irLength = 0)
    {
        QByteArray bytes = testing::ConfigFileBytes(typeCode, mainLength, irLength, size);
        if (size > 265)
            bytes[265] = static_cast<char>(marker);
        return WriteFile(name, bytes);
    }
};

TEST_F(OpenPodFile, DialogLoadShowsTheDisplayName)
{
    const auto w = Start();
    fileDialog.answers.push_back(MarkedFile("Hall2.TXF", 1, 0xA5));
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
    EXPECT_EQ(w->configuration().main_image[0], 0xA5);
    EXPECT_TRUE(msgBox.calls.empty());

    // A longer file is read up to its layout.
    QString longer = MarkedFile("big.TXF", 5, 0x33, PodFile::Size + 4096);
    EXPECT_TRUE(w->open_pod_file(longer));
    EXPECT_EQ(w->configuration().type_code, 5);
}

TEST_F(OpenPodFile, RefusedFilesAreSaidOnceAndKeepThePreviousConfiguration)
{
    const auto w = Start();
    QString good = MarkedFile("good.TXF", 3, 0x11);
    ASSERT_TRUE(w->open_pod_file(good));
    QDir(dir.path()).mkdir("folder.TXF");
    const QString failed = "Failed to open file " + dir.path() + "/";
    struct Row {
        QString path;
        QString message;
    };
    const std::vector<Row> rows = {
        {dir.filePath("none.TXF"), failed + "none.TXF"},
        {dir.filePath("folder.TXF"), failed + "folder.TXF"},
        {MarkedFile("short.TXF", 4, 0x22, PodFile::Size - 1), failed + "short.TXF"},
        {MarkedFile("long.TXF", 4, 0x22, PodFile::Size, 32761),
         failed + "long.TXF: main_length 32761 is outside 0 to 32760"},
        {MarkedFile("neg.TXF", 4, 0x22, PodFile::Size, -1),
         failed + "neg.TXF: main_length -1 is outside 0 to 32760"},
        {MarkedFile("ir.TXF", 7, 0x22, PodFile::Size, 8, 32761),
         failed + "ir.TXF: ir_length 32761 is outside 0 to 32760"},
    };
    for (const Row& row : rows) {
        QString path = row.path;
        w->FileName->setText("old");
        msgBox.calls.clear();
        EXPECT_FALSE(w->open_pod_file(path));
        ASSERT_EQ(msgBox.calls.size(), 1u) << row.message.toStdString();
        EXPECT_EQ(msgBox.calls[0].text, row.message);
        EXPECT_EQ(msgBox.calls[0].title, "Error!");
        EXPECT_EQ(msgBox.calls[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::None);
        EXPECT_EQ(clipboard.texts.back(), row.path);
        EXPECT_EQ(w->configuration().type_code, 3);
        EXPECT_EQ(w->configuration().main_image[0], 0x11);
        EXPECT_EQ(w->FileName->text(), "");
    }
    EXPECT_TRUE(fileDialog.calls.empty());

    // A name too short for a display name fails after the file was read.
    QString tiny = MarkedFile("x.b", 6, 0x44);
    msgBox.calls.clear();
    EXPECT_FALSE(w->open_pod_file(tiny));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Failed to open file x.b"}));
    EXPECT_EQ(w->configuration().type_code, 6);
}

TEST_F(OpenPodFile, LoadButtonResetsFirstAndEnablesSearchOnSuccess)
{
    const auto w = Start();
    LoadThroughDialog(*w, MarkedFile("job1.TXF", 1, 0));
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

TEST_F(OpenPodFile, CommandLineLoadsHalfASecondAfterStartUp)
{
    const QString path = MarkedFile("Hall2.TXF", 2, 0x55);
    const auto w = Start("\"" + path + "\"");
    EXPECT_TRUE(w->Timer2->isActive());
    EXPECT_EQ(w->Timer2->interval(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(w->search->isEnabled(), 3000);
    EXPECT_FALSE(w->Timer2->isActive()) << "the tick comes once";
    EXPECT_EQ(w->FileName->text(), "Hall2");
    EXPECT_EQ(w->PodType[0]->text(), "--------------") << "a search followed";
    EXPECT_EQ(clipboard.texts.back(), path);
    EXPECT_TRUE(fileDialog.calls.empty());
}

TEST_F(OpenPodFile, LoadClickedBeforeTheTickDropsTheCommandLineFile)
{
    const auto w = Start(MarkedFile("first.TXF", 2, 0x55));
    LoadThroughDialog(*w, MarkedFile("chosen.TXF", 3, 0x66));
    QTest::qWait(800);
    EXPECT_FALSE(w->Timer2->isActive());
    EXPECT_EQ(w->FileName->text(), "chosen");
    EXPECT_EQ(w->configuration().type_code, 3);
}

TEST_F(OpenPodFile, CommandLineQuotesAreStrippedAtEachEnd)
{
    const QString path = MarkedFile("job.TXF", 2, 0x55);
    struct Row {
        QString commandLine;
        bool loaded;
        std::size_t dialogs; // an empty path asks the user
    };
    const std::vector<Row> rows = {{path + "\"", true, 0}, {"\"" + path, true, 0},
                                   {"\"", false, 1},       {"\"\"", false, 1},
                                   {dir.filePath("missing.TXF"), false, 0}};
    for (const Row& row : rows) {
        fileDialog.calls.clear();
        msgBox.calls.clear();
        const auto w = Start(row.commandLine);
        w->Timer2_Timer();
        EXPECT_EQ(w->search->isEnabled(), row.loaded) << row.commandLine.toStdString();
        EXPECT_EQ(fileDialog.calls.size(), row.dialogs) << row.commandLine.toStdString();
        EXPECT_EQ(msgBox.calls.size(), !row.loaded && !row.dialogs ? 1u : 0u);
    }
}

} // namespace
} // namespace vantelo
