// The unhandled-exception report: where an exception goes that escaped the
// program code the framework ran (RunProgramCode in RuntimeCore.h, the one
// path of every event handler, window hook, menu command and start-up step).
#pragma once

#include "core/Exceptions.h"

#include <functional>
#include <string>

namespace fw {

// The report for an exception that no handler took. The GUI layer installs
// one that shows a message box; the default writes to standard error.
using UnhandledExceptionReport = std::function<void(const RuntimeException&)>;
void SetUnhandledExceptionReport(UnhandledExceptionReport report);
void ReportUnhandledException(const RuntimeException& e);
// The text the report shows: the exception's class and message, and the
// error number of an IOException.
std::string DescribeException(const RuntimeException& e);

}  // namespace fw
