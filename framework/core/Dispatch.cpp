#include "core/Dispatch.h"

#include <cstdio>

namespace fw {

namespace {
UnhandledExceptionReport& Report() {
    static UnhandledExceptionReport report;
    return report;
}
}  // namespace

std::string DescribeException(const RuntimeException& e) {
    std::string text = "An exception of class ";
    text += e.TypeName();
    text += " was not handled.";
    const std::string message = e.what();
    if (!message.empty()) text += "\n\n" + message;
    if (const auto* io = dynamic_cast<const IOException*>(&e))
        text += "\n\nError number: " + std::to_string(io->ErrorNumber);
    return text;
}

void SetUnhandledExceptionReport(UnhandledExceptionReport report) { Report() = std::move(report); }

void ReportUnhandledException(const RuntimeException& e) {
    if (Report()) Report()(e);
    else std::fprintf(stderr, "%s\n", DescribeException(e).c_str());
}

}  // namespace fw
