#include "gui/PrintSupportModule.h"

#include "core/Exceptions.h"

#include <QCoreApplication>
#include <QString>

#include <dlfcn.h>

#include <string>

namespace fw {

namespace {

// The module beside the program first, then where the build put it (tests
// and benchmarks run from folders of their own).
PrintSupportModule* Load(std::string& failure) {
    QStringList places;
    if (QCoreApplication::instance()) places << QCoreApplication::applicationDirPath();
    places << QStringLiteral(SCRANDLE_PRINTSUPPORT_DIR);
    for (const QString& dir : places) {
        const QByteArray path = (dir + QLatin1Char('/') + QStringLiteral(SCRANDLE_PRINTSUPPORT_MODULE)).toLocal8Bit();
        void* module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            if (const char* e = dlerror()) failure = e;
            continue;
        }
        using Entry = PrintSupportModule* (*)();
        if (auto entry = reinterpret_cast<Entry>(dlsym(module, "scrandle_print_support"))) return entry();
        failure = path.toStdString() + " has no entry point";
    }
    return nullptr;
}

}  // namespace

PrintSupportModule& PrintSupport() {
    static std::string failure;
    static PrintSupportModule* module = Load(failure);
    if (!module) throw RuntimeException("Printing is not available: " + failure);
    return *module;
}

}  // namespace fw
