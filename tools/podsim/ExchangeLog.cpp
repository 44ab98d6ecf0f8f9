#include "ExchangeLog.h"

#include <cstdio>

namespace vantelo::podsim {

namespace {

std::string Describe(const LineSettings& settings)
{
    const char parity = settings.parity == Parity::Odd ? 'o' : settings.parity == Parity::Even ? 'e' : 'n';
    return std::to_string(settings.baud) + ',' + parity + ',' + std::to_string(settings.dataBits) + ',' +
           std::to_string(settings.stopBits) + ':';
}

void AppendHex(std::string& line, std::uint8_t value)
{
    char text[4];
    std::snprintf(text, sizeof text, " %02X", value);
    line += text;
}

} // namespace

ExchangeLog::ExchangeLog(int port, sim::Nanos epoch) : port_(port), epoch_(epoch) {}

ExchangeLog::~ExchangeLog()
{
    Flush();
}

std::string ExchangeLog::Heading(sim::Nanos at, char direction) const
{
    char text[48];
    std::snprintf(text, sizeof text, "%11.6f COM%d %c ", static_cast<double>(at - epoch_) * 1e-9, port_, direction);
    return text;
}

void ExchangeLog::Received(const sim::WireByte& byte)
{
    if (framing_ && *framing_ != byte.settings) {
        const bool payloadFollowsCommand = framing_->parity == Parity::Odd && byte.settings.parity == Parity::Even;
        if (payloadFollowsCommand)
            request_ += " | " + Describe(byte.settings);
        else
            Flush();
    }
    if (request_.empty())
        request_ = Heading(byte.time, '>') + Describe(byte.settings);
    framing_ = byte.settings;
    AppendHex(request_, byte.value);
}

void ExchangeLog::Answered(const sim::Transmission& answer, sim::Nanos start)
{
    Flush();
    std::string line = Heading(start, '<') + std::to_string(answer.baud) + ':';
    for (const std::uint8_t value : answer.bytes)
        AppendHex(line, value);
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

void ExchangeLog::Note(sim::Nanos at, const char* what)
{
    Flush();
    std::fprintf(stderr, "%11.6f COM%d: %s\n", static_cast<double>(at - epoch_) * 1e-9, port_, what);
}

void ExchangeLog::Flush()
{
    framing_.reset();
    if (request_.empty())
        return;
    request_ += '\n';
    std::fputs(request_.c_str(), stderr);
    request_.clear();
}

} // namespace vantelo::podsim
