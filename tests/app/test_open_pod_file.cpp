#include "support/WindowFixture.h"

#include "config/PodFile.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace vantelo {
namespace {

class OpenPodFile : public testing::WindowFixture {
protected:
    // A configuration file whose first main image byte tells files apart.
    QString MarkedFile(const QString& name, std::uint8_t typeCode, std::uint8_t marker,
                       qsizetype size = PodFile::Size, std::int32_t mainLength = 8)
    {
        const QString path = ConfigFile(name, typeCode, mainLength, 0, size);
        if (size > 265) {
            QFile file(path);
            file.open(QIODevice::ReadWrite);
            file.seek(265);
            file.write(QByteArray(1, static_cast<char>(marker)));
        }
        return path;
    }

    void ExpectOneMessage(const QString& text)
    {
        ASSERT_EQ(msgBox.calls.size(), 1u);
        EXPECT_EQ(msgBox.calls[0].text, text);
        EXPECT_EQ(msgBox.calls[0].title, "Error!");
        EXPECT_EQ(msgBox.calls[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::None);
        msgBox.calls.clear();
    }
};

TEST_F(OpenPodFile, DialogLoadShowsTheDisplayName)
{
    const auto w = Start();
    const QString path = MarkedFile("Hall2.TXF", 1, 0xA5);
    fileDialog.answers.push_back(path);
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
}

TEST_F(OpenPodFile, CancelledDialogIsNoFailure)
{
    const auto w = Start();
    w->FileName->setText("old");
    QString name;
    EXPECT_FALSE(w->open_pod_file(name));
    EXPECT_TRUE(msgBox.calls.empty());
    EXPECT_EQ(w->FileName->text(), "");
    EXPECT_EQ(clipboard.texts, (std::vector<QString>{""}));
}

TEST_F(OpenPodFile, MissingFileOrFolderIsReported)
{
    const auto w = Start();
    QString missing = dir.filePath("none.TXF");
    EXPECT_FALSE(w->open_pod_file(missing));
    ExpectOneMessage("Failed to open file " + dir.filePath("none.TXF"));
    EXPECT_EQ(clipboard.texts.back(), dir.filePath("none.TXF"));

    QDir(dir.path()).mkdir("folder.TXF");
    QString folder = dir.filePath("folder.TXF");
    EXPECT_FALSE(w->open_pod_file(folder));
    ExpectOneMessage("Failed to open file " + folder);
    EXPECT_TRUE(fileDialog.calls.empty());
}

TEST_F(OpenPodFile, RefusedFilesKeepThePreviousConfiguration)
{
    const auto w = Start();
    QString good = MarkedFile("good.TXF", 3, 0x11);
    ASSERT_TRUE(w->open_pod_file(good));

    QString shortFile = MarkedFile("short.TXF", 4, 0x22, PodFile::Size - 1);
    EXPECT_FALSE(w->open_pod_file(shortFile));
    ExpectOneMessage("Failed to open file " + dir.filePath("short.TXF"));

    QString tooLong = MarkedFile("long.TXF", 4, 0x22, PodFile::Size, 32761);
    EXPECT_FALSE(w->open_pod_file(tooLong));
    ExpectOneMessage("Failed to open file " + dir.filePath("long.TXF") +
                     ": main_length 32761 is outside 0 to 32760");

    QString negative = MarkedFile("neg.TXF", 4, 0x22, PodFile::Size, -1);
    EXPECT_FALSE(w->open_pod_file(negative));
    ExpectOneMessage("Failed to open file " + dir.filePath("neg.TXF") +
                     ": main_length -1 is outside 0 to 32760");

    EXPECT_EQ(w->configuration().type_code, 3);
    EXPECT_EQ(w->configuration().main_image[0], 0x11);
    EXPECT_EQ(w->FileName->text(), "");
}

TEST_F(OpenPodFile, LongerFileIsReadUpToItsLayout)
{
    const auto w = Start();
    QString path = MarkedFile("big.TXF", 5, 0x33, PodFile::Size + 4096);
    EXPECT_TRUE(w->open_pod_file(path));
    EXPECT_EQ(w->configuration().type_code, 5);
}

TEST_F(OpenPodFile, NameTooShortForADisplayNameFailsAfterReading)
{
    const auto w = Start();
    QString path = MarkedFile("x.b", 6, 0x44);
    EXPECT_FALSE(w->open_pod_file(path));
    ExpectOneMessage("Failed to open file x.b");
    EXPECT_EQ(path, "x.b");
    EXPECT_EQ(w->FileName->text(), "");
    EXPECT_EQ(w->configuration().type_code, 6) << "the read itself completed";
}

TEST_F(OpenPodFile, LoadButtonResetsFirstAndEnablesSearchOnSuccess)
{
    const auto w = Start();
    fileDialog.answers.push_back(MarkedFile("job1.TXF", 1, 0));
    w->Load_Click();
    EXPECT_TRUE(w->search->isEnabled());
    EXPECT_EQ(w->FileName->text(), "job1");

    w->ProgramPod->setEnabled(true);
    w->Load_Click(); // cancelled this time
    EXPECT_FALSE(w->search->isEnabled());
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_EQ(w->FileName->text(), "");
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
    EXPECT_EQ(clipboard.texts.back(), path);
    EXPECT_TRUE(fileDialog.calls.empty());
}

TEST_F(OpenPodFile, CommandLineQuotesAreStrippedAtEachEnd)
{
    const QString path = MarkedFile("job.TXF", 2, 0x55);
    for (const QString& line : {path + "\"", "\"" + path}) {
        const auto w = Start(line);
        w->Timer2_Timer();
        EXPECT_TRUE(w->search->isEnabled()) << line.toStdString();
    }
    for (const QString& line : {QString("\""), QString("\"\"")}) {
        const auto w = Start(line);
        w->Timer2_Timer();
        EXPECT_EQ(fileDialog.calls.size(), 1u) << "an empty path asks the user";
        fileDialog.calls.clear();
        EXPECT_FALSE(w->search->isEnabled());
    }
    const auto w = Start(dir.filePath("missing.TXF"));
    w->Timer2_Timer();
    ExpectOneMessage("Failed to open file " + dir.filePath("missing.TXF"));
    EXPECT_FALSE(w->search->isEnabled());
}

} // namespace
} // namespace vantelo
