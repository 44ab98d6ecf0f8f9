#include "station/report/RecordEntry.h"

#include "station/StationWords.h"
#include "station/report/JsonScanner.h"

#include <QCryptographicHash>

#include <charconv>

namespace vantelo::station {

namespace {

// The station's own form, 2026-12-07T08:30:00.000Z, read directly; any
// other ISO form through Qt.
QDateTime TimeOf(std::string_view text)
{
    const auto number = [&](std::size_t at, std::size_t digits) {
        int value = 0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + digits, value);
        return error == std::errc{} && end == text.data() + at + digits ? value : -1;
    };
    if (text.size() == 24 && text[4] == '-' && text[7] == '-' && text[10] == 'T' && text[13] == ':' &&
        text[16] == ':' && text[19] == '.' && text[23] == 'Z') {
        const QDate date(number(0, 4), number(5, 2), number(8, 2));
        const QTime time(number(11, 2), number(14, 2), number(17, 2), number(20, 3));
        if (date.isValid() && time.isValid())
            return QDateTime(date, time, Qt::UTC);
    }
    return QDateTime::fromString(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                                 Qt::ISODateWithMs);
}

// The members a report reads; any other is passed over, whatever it holds.
bool ReadMember(JsonScanner& json, std::string_view key, RecordEntry& entry, std::optional<PodResult>& result)
{
    if (key == "result" || key == "time") {
        const auto word = json.Raw();
        if (key == "result")
            result = word ? ResultNamed(*word) : std::nullopt;
        else if (word)
            entry.time = TimeOf(*word);
        return word || json.Skip();
    }
    QString* const text = key == "id"         ? &entry.id
                          : key == "station"  ? &entry.station
                          : key == "lot"      ? &entry.lot
                          : key == "operator" ? &entry.operator_
                          : key == "file"     ? &entry.file
                                              : nullptr;
    if (text) {
        auto value = json.String();
        if (value)
            *text = std::move(*value);
        return value || json.Skip();
    }
    if (key == "seconds" || key == "pod_type") {
        const auto number = json.Number();
        if (!number)
            return json.Skip();
        if (key == "seconds")
            entry.seconds = *number;
        else
            entry.podType = QString::number(*number); // 1 for 1.0
        return true;
    }
    if (key == "messages" && json.Take('[')) {
        if (json.Take(']'))
            return true;
        // The first message only, even when it is empty.
        bool first = true;
        do {
            auto message = json.String();
            if (!message && !json.Skip())
                return false;
            if (message && first)
                entry.message = std::move(*message);
            first = false;
        } while (json.Take(','));
        return json.Take(']');
    }
    return json.Skip();
}

} // namespace

std::optional<RecordEntry> ReadRecordLine(std::string_view line)
{
    JsonScanner json(line);
    RecordEntry entry;
    std::optional<PodResult> result;
    if (!json.Take('{'))
        return std::nullopt;
    if (!json.Take('}')) {
        do {
            const auto key = json.Raw();
            if (!key || !json.Take(':') || !ReadMember(json, *key, entry, result))
                return std::nullopt;
        } while (json.Take(','));
        if (!json.Take('}'))
            return std::nullopt;
    }
    if (!json.AtEnd() || !entry.time.isValid() || !result)
        return std::nullopt;
    entry.result = *result;
    if (entry.id.isEmpty()) { // a version 1 line: the same line is the same pod
        const QByteArray bytes = QByteArray(line.data(), static_cast<qsizetype>(line.size())).trimmed();
        entry.id = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    }
    return entry;
}

} // namespace vantelo::station
