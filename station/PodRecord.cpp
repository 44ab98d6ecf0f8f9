#include "station/PodRecord.h"


#include <cstdio>

namespace vantelo::station {

namespace {

void AppendString(std::string& out, const QString& text)
{
    out += '"';
    for (const char c : text.toStdString()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendField(std::string& out, const char* name, const QString& text)
{
    out += out.size() > 1 ? ",\"" : "\"";
    out += name;
    out += "\":";
    AppendString(out, text);
}

} // namespace

const char* ResultName(PodResult result)
{
    switch (result) {
    case PodResult::Programmed:
        return "programmed";
    case PodResult::Failed:
        return "failed";
    case PodResult::Skipped:
        return "skipped";
    case PodResult::Interrupted:
        return "interrupted";
    }
    return "failed";
}

std::string RecordLine(const PodRecord& record)
{
    std::string out = "{";
    AppendField(out, "time", record.time.toUTC().toString(Qt::ISODateWithMs));
    AppendField(out, "port", record.port);
    AppendField(out, "device", record.device);
    out += ",\"pod_type\":" + std::to_string(record.podType);
    AppendField(out, "pod_name", record.podName);
    AppendField(out, "version", record.version);
    AppendField(out, "file", record.file);
    AppendField(out, "sha256", record.sha256);
    AppendField(out, "result", QString::fromLatin1(ResultName(record.result)));
    out += ",\"messages\":[";
    for (qsizetype i = 0; i < record.messages.size(); ++i) {
        if (i > 0)
            out += ',';
        AppendString(out, record.messages[i]);
    }
    // Not printf: the user's locale may want a decimal comma.
    out += "],\"seconds\":" + QString::number(record.seconds, 'f', 3).toStdString();
    out += "}\n";
    return out;
}

} // namespace vantelo::station
