#include "app/Download.h"

#include "config/PodFile.h"
#include "platform/UserDialogs.h"

#include <QLabel>

namespace vantelo {

namespace {

const QString ErrorTitle = QStringLiteral("Error!");

} // namespace

bool Download::open_pod_file(QString& local_filename)
{
    FileName->setText(QString());
    services_.clipboard.SetText(local_filename);

    const auto failed = [&] {
        services_.msgBox.Show(QStringLiteral("Failed to open file ") + local_filename, ErrorTitle,
                              MsgButtons::Ok, MsgIcon::None);
        return false;
    };
    const auto unsendable = [&](const char* field, std::int32_t length) {
        services_.msgBox.Show(QStringLiteral("Failed to open file %1: %2 %3 is outside 0 to %4")
                                  .arg(local_filename, QLatin1String(field))
                                  .arg(length)
                                  .arg(MaxDownloadLength),
                              ErrorTitle, MsgButtons::Ok, MsgIcon::None);
        return false;
    };

    if (local_filename.isEmpty()) {
        local_filename = services_.CommonDialog1.ShowOpen(
            FileMustExist, QStringLiteral("Trellin Export File (*.TXF)| *.TXF"), 1);
        if (local_filename.isEmpty())
            return false;
    }

    // Read into a fresh configuration so that a refused file leaves the loaded one.
    auto loaded = std::make_unique<PodConfiguration>();
    const PodFileStatus status = LoadPodFile(local_filename, *loaded);
    switch (status.fault) {
    case PodFileFault::None:
        break;
    case PodFileFault::Unreadable:
    case PodFileFault::TooShort:
        return failed();
    case PodFileFault::MainLength:
        return unsendable("main_length", status.length);
    case PodFileFault::IrLength:
        return unsendable("ir_length", status.length);
    }
    configuration_ = std::move(loaded);

    const auto display = PodDisplayName(local_filename);
    if (!display) {
        local_filename = PodFileName(local_filename);
        return failed();
    }
    local_filename = *display;
    FileName->setText(local_filename);
    return true;
}

} // namespace vantelo
