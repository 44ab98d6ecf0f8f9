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

    const auto refuse = [&](const PodFileStatus& status) {
        services_.msgBox.Show(PodFileRefusal(local_filename, status), ErrorTitle, MsgButtons::Ok, MsgIcon::None);
        return false;
    };

    if (local_filename.isEmpty()) {
        local_filename = services_.CommonDialog1.ShowOpen(FileMustExist, QLatin1String(PodFileFilter), 1);
        if (local_filename.isEmpty())
            return false;
    }

    // Read into a fresh configuration so that a refused file leaves the loaded one.
    auto loaded = std::make_unique<PodConfiguration>();
    const PodFileStatus status = LoadPodFile(local_filename, *loaded);
    if (status.fault != PodFileFault::None)
        return refuse(status);
    configuration_ = std::move(loaded);

    const auto display = PodDisplayName(local_filename);
    if (!display) {
        local_filename = PodFileName(local_filename);
        return refuse({PodFileFault::Unreadable});
    }
    local_filename = *display;
    FileName->setText(local_filename);
    return true;
}

} // namespace vantelo
