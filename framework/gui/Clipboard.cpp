#include "gui/Clipboard.h"

#include "core/Exceptions.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace fw {

namespace {
QClipboard& SystemClipboard() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw RuntimeException("The clipboard was used before the application started its desktop session.");
    return *QGuiApplication::clipboard();
}
}  // namespace

String Clipboard::Text() const { return String::FromQString(SystemClipboard().text()); }

void Clipboard::SetText(const String& text) { SystemClipboard().setText(text.ToQString()); }

bool Clipboard::TextAvailable() const {
    const QMimeData* data = SystemClipboard().mimeData();
    return data && data->hasText();
}

}  // namespace fw
