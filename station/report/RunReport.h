#pragma once

#include "station/report/ReportOptions.h"

#include <cstdio>

namespace vantelo::station {

// Reads the record files and prints the report to `out`, each line that is
// not a record to `err` with its file and line number. Status 1 when a file
// could not be read, else 0.
int RunReport(const ReportOptions& options, std::FILE* out, std::FILE* err);

} // namespace vantelo::station
