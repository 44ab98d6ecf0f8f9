#pragma once

#include <QString>

#include <string>

namespace vantelo {

// Why a port did not open. Each adapter maps its system's codes onto these;
// what the program does not know stays in the system's words.
enum class OpenFailure { Missing, InUse, NoPermission, Other };

// The reason that follows "Could not open COM3: ", without naming the port
// again: the program's words for what it knows, then what the system said.
std::string OpenFailureText(OpenFailure failure, const QString& systemWords);

} // namespace vantelo
