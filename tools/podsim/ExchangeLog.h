#pragma once

#include "sim/Pod.h"

#include <optional>
#include <string>

namespace vantelo::podsim {

// Writes the traffic of one port to standard error, a line per request and
// a line per answer, bytes in hex, times in seconds since start-up:
//   0.412345 COM1 > 9600,o,8,1: 33 | 9600,e,8,1: FF
//   0.414631 COM1 < 9600: F0 00
// A request is the bytes under one framing, or a command byte and its payload.
class ExchangeLog {
public:
    ExchangeLog(int port, sim::Nanos epoch);
    ~ExchangeLog();
    ExchangeLog(const ExchangeLog&) = delete;
    ExchangeLog& operator=(const ExchangeLog&) = delete;

    void Received(const sim::WireByte& byte);
    void Answered(const sim::Transmission& answer, sim::Nanos start);
    // A line of its own about the port: "   1.853000 COM1: fresh pod".
    void Note(sim::Nanos at, const char* what);

private:
    std::string Heading(sim::Nanos at, char direction) const;
    void Flush();

    int port_;
    sim::Nanos epoch_;
    std::string request_; // pending line
    std::optional<LineSettings> framing_;
};

} // namespace vantelo::podsim
