#include "platform/console/CommandLine.h"
#include "platform/dialogs/QtDialogs.h"
#include "platform/serial/SystemSerialPort.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

namespace vantelo {
namespace {

// Windows hands the program its whole command line, name included; the
// window wants what the user typed after the name, quotes and all.
TEST(CommandLine, WindowsLineLosesOnlyTheProgramNameAndTheBlanksAfterIt)
{
    const struct {
        const char16_t* line;
        const char16_t* rest;
    } rows[] = {
        {uR"("C:\Program Files\Vantelo\vantelo.exe" "C:\Jobs\Hall 2.TXF")", uR"("C:\Jobs\Hall 2.TXF")"},
        {uR"(vantelo.exe C:\Jobs\Hall2.TXF)", uR"(C:\Jobs\Hall2.TXF)"},
        {u"vantelo.exe \t  -style fusion ", u"-style fusion "},
        {uR"("C:\Program Files\Vantelo\vantelo.exe"Hall2.TXF)", u"Hall2.TXF"},
        {uR"("C:\Program Files\Vantelo\vantelo.exe")", u""},
        {u"vantelo.exe   ", u""},
        {uR"(vantelo.exe ")", uR"(")"},
        {uR"(vantelo.exe "")", uR"("")"},
        {uR"("C:\Program Files\vantelo.exe a)", u""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AfterProgramName(QStringView(row.line)), QStringView(row.rest))
            << QString::fromUtf16(row.line).toStdString();
}

#ifndef _WIN32
// Elsewhere the shell has split an unquoted path at its blanks: the words are
// one path again, joined by one blank each.
TEST(CommandLine, UnquotedWordsAreOnePath)
{
    char program[] = "vantelo", a[] = "/srv/My", b[] = "Jobs/Hall", c[] = "2.TXF";
    char* argv[] = {program, a, b, c, nullptr};
    EXPECT_EQ(CommandLineText(4, argv), "/srv/My Jobs/Hall 2.TXF");
}
#endif

// A USB adapter on COM7 serves slot 3; the variable wins on every system.
TEST(SerialDevice, EnvironmentNamesThePortsDevice)
{
    qputenv("VANTELO_COM3", "COM7");
    EXPECT_EQ(SerialDeviceName(3), "COM7");
    qunsetenv("VANTELO_COM3");
    EXPECT_NE(SerialDeviceName(3), "COM7");
}

// Qt's dialog answers "C:/Jobs/Hall2.TXF" on Windows too; the program takes
// the path as a Windows user writes it, "C:\Jobs\Hall2.TXF".
TEST(FileDialog, ChosenPathHasTheSystemsSeparators)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Hall2.TXF"));
    QTimer choose;
    QObject::connect(&choose, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr) {
            name->setText(path); // typed: selectFile leaves a focused name field alone
            dialog->done(QDialog::Accepted);
        }
    });
    choose.start(10);
    const QString filter = QStringLiteral("Trellin Export File (*.TXF)| *.TXF");
    EXPECT_EQ(QtFileDialog().ShowOpen(FileMustExist, filter, 1).toStdString(),
              QDir::toNativeSeparators(path).toStdString());
}

// A message names files and pods as they are: "<h1>Gone</h1>.TXF" is no heading.
TEST(MessageBox, ShowsTheTextAsWritten)
{
    const QString text = QStringLiteral("Failed to open file <h1>Gone</h1>.TXF");
    QString shown;
    QTimer::singleShot(10, [&] {
        auto* box = QApplication::activeModalWidget();
        if (auto* label = box ? box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")) : nullptr)
            shown = label->textFormat() == Qt::PlainText ? label->text() : QString();
        if (box)
            box->close();
    });
    QtMsgBox().Show(text, QStringLiteral("Error!"), MsgButtons::Ok, MsgIcon::None);
    EXPECT_EQ(shown.toStdString(), text.toStdString());
}

} // namespace
} // namespace vantelo
