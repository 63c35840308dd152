#include "gui/FontNames.h"

#include <QFont>
#include <QLatin1StringView>
#include <QStringList>

namespace fw {

namespace {

struct FontAlias {
    QLatin1StringView name;
    QLatin1StringView family;
};

constexpr FontAlias kAliases[] = {
    {QLatin1StringView("Courier"), QLatin1StringView("Liberation Mono")},
    {QLatin1StringView("Arial"), QLatin1StringView("Liberation Sans")},
};

}  // namespace

void SetFontName(QFont& font, const String& name) {
    const QString family = name.ToQString();
    if (family.isEmpty() || family.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0) return;
    for (const FontAlias& alias : kAliases) {
        if (family.compare(alias.name, Qt::CaseInsensitive) == 0) {
            font.setFamilies({QString(alias.family)});
            return;
        }
    }
    // By name alone: a style hint would let fontconfig prefer its generic
    // monospace or sans font to the name's own substitute.
    font.setFamilies({family});
}

}  // namespace fw
