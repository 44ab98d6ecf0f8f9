// Any bytes as a line of a record file: the report's reader never fails on
// them; and what Qt reads from them, written again as the station writes its
// records, the reader reads as Qt does.
#include "Require.h"
#include "station/report/RecordEntry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string_view>

using vantelo::fuzz::Require;
using namespace vantelo::station;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ReadRecordLine(std::string_view(bytes.constData(), size));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return 0;
    const QJsonObject object = document.object();
    const QByteArray written = document.toJson(QJsonDocument::Compact);
    const auto entry = ReadRecordLine(std::string_view(written.constData(), static_cast<std::size_t>(written.size())));
    const QString result = object.value(QLatin1String("result")).toString();
    const char* const names[] = {"programmed", "failed", "skipped", "interrupted"};
    const bool known = std::find(std::begin(names), std::end(names), result.toStdString()) != std::end(names);
    const auto time = QDateTime::fromString(object.value(QLatin1String("time")).toString(), Qt::ISODateWithMs);
    if (!known || !time.isValid())
        return 0;
    Require(entry.has_value(), "a record Qt reads is read");
    Require(QLatin1String(names[static_cast<int>(entry->result)]) == result, "the same result");
    Require(entry->time == time, "the same time");
    Require(entry->station == object.value(QLatin1String("station")).toString(), "the same station");
    Require(entry->message == object.value(QLatin1String("messages")).toArray().at(0).toString(),
            "the same first message");
    Require(entry->seconds == object.value(QLatin1String("seconds")).toDouble(), "the same seconds");
    return 0;
}
