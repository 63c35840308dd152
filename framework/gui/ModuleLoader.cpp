#include "gui/ModuleLoader.h"

#include "core/Exceptions.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <dlfcn.h>

namespace fw {

void* LoadModuleEntry(const char* file, const char* buildDir, const char* entry, std::string& failure) {
    QStringList places;
    if (QCoreApplication::instance()) places << QCoreApplication::applicationDirPath();
    places << QString::fromLocal8Bit(buildDir);
    for (const QString& dir : places) {
        const QByteArray path = (dir + QLatin1Char('/') + QString::fromLocal8Bit(file)).toLocal8Bit();
        void* module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            if (const char* e = dlerror()) failure = e;
            continue;
        }
        if (void* found = dlsym(module, entry)) return found;
        failure = path.toStdString() + " has no entry point";
    }
    return nullptr;
}

void ModuleUnavailable(const char* what, const std::string& why) {
    throw RuntimeException(std::string(what) + ": " + why);
}

}  // namespace fw
