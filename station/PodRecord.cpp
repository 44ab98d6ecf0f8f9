#include "station/PodRecord.h"

#include "station/StationWords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace vantelo::station {

std::string RecordLine(const PodRecord& record)
{
    QJsonObject line{
        {QStringLiteral("schema"), 2},
        {QStringLiteral("id"), record.id},
        {QStringLiteral("station"), record.origin.station},
        {QStringLiteral("operator"), record.origin.operator_},
        {QStringLiteral("program"), QStringLiteral("vantelo-station " VANTELO_VERSION)},
        {QStringLiteral("started"), record.started.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("time"), record.time.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("port"), record.port},
        {QStringLiteral("device"), record.device},
        {QStringLiteral("pod_type"), record.podType},
        {QStringLiteral("pod_name"), record.podName},
        {QStringLiteral("version"), record.version},
        {QStringLiteral("file"), record.file},
        {QStringLiteral("sha256"), record.sha256},
        {QStringLiteral("result"), QString::fromLatin1(ResultName(record.result))},
        {QStringLiteral("messages"), QJsonArray::fromStringList(record.messages)},
        {QStringLiteral("retries"), record.retries},
        {QStringLiteral("seconds"), std::round(record.seconds * 1000) / 1000},
        {QStringLiteral("blocks"), record.blocks},
        {QStringLiteral("of"), record.of},
    };
    if (!record.origin.lot.isEmpty())
        line.insert(QStringLiteral("lot"), record.origin.lot);
    return QJsonDocument(line).toJson(QJsonDocument::Compact).toStdString() + '\n';
}

} // namespace vantelo::station
