// Running program code from the framework: every event handler and menu
// command goes through Dispatch, which runs it under the program's exception
// handling and hands an escaping RuntimeException to the unhandled-exception
// report, after which the program goes on.
#pragma once

#include "Exceptions.h"

#include <functional>

namespace fw {

// Runs the handler; returns false when it ended with an exception (which has
// been reported).
bool Dispatch(const std::function<void()>& handler);

// The report for an exception that no handler took. The GUI layer installs
// one that shows a message box; the default writes to standard error.
using UnhandledExceptionReport = std::function<void(const RuntimeException&)>;
void SetUnhandledExceptionReport(UnhandledExceptionReport report);
void ReportUnhandledException(const RuntimeException& e);
// The text the report shows: the exception's class and message, and the
// error number of an IOException.
std::string DescribeException(const RuntimeException& e);

}  // namespace fw
