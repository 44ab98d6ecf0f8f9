#include "platform/dialogs/QtDialogs.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace vantelo {

namespace {

// "description|pattern|description|pattern" as the name filters of a Qt file
// dialog: "description (pattern)".
QStringList NameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed().replace(u';', u' ');
        // The description often names the pattern already.
        filters << (description.contains(u'(') ? description : description + QStringLiteral(" (") + patterns + u')');
    }
    return filters;
}

} // namespace

QString QtFileDialog::ShowOpen(int flags, const QString& filter, int filterIndex)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((flags & FileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = NameFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    // Qt answers with forward slashes everywhere; the program shows the path
    // as the system writes it (C:\Jobs\Hall2.TXF).
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

void QtClipboard::SetText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

MsgAnswer QtMsgBox::Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(parent_);
    box.setTextFormat(Qt::PlainText); // texts carry paths and pods' words, never markup
    box.setText(text);
    box.setWindowTitle(title);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

std::optional<QString> QtTextPrompt::Ask(const QString& label, const QString& title, const QString& preset)
{
    bool given = false;
    const QString text = QInputDialog::getText(parent_, title, label, QLineEdit::Normal, preset, &given);
    if (!given)
        return std::nullopt;
    return text;
}

} // namespace vantelo
