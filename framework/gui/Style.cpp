#include "gui/Style.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProxyStyle>

namespace fw {

namespace {

// A pair of chevrons pointing right (or down), the usual sign for "more".
QIcon ChevronIcon(bool down, const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (down) {
        p.translate(32, 0);
        p.rotate(90);
    }
    QPen pen(colour, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    for (int x : {8, 17}) {
        QPainterPath path;
        path.moveTo(x, 9);
        path.lineTo(x + 7, 16);
        path.lineTo(x, 23);
        p.drawPath(path);
    }
    p.end();
    return QIcon(pixmap);
}

class FrameworkStyle : public QProxyStyle {
public:
    explicit FrameworkStyle(const QString& key) : QProxyStyle(key) {}

    // Every menu bar asks for its overflow button's image when it is made;
    // reading Qt's image for it loads every image-format plug-in, which is
    // the larger part of making the main window's menu bar.
    QIcon standardIcon(StandardPixmap sp, const QStyleOption* option, const QWidget* widget) const override {
        if (sp == SP_ToolBarHorizontalExtensionButton || sp == SP_ToolBarVerticalExtensionButton) {
            const QColor colour = standardPalette().color(QPalette::Active, QPalette::ButtonText);
            return ChevronIcon(sp == SP_ToolBarVerticalExtensionButton, colour);
        }
        return QProxyStyle::standardIcon(sp, option, widget);
    }
};

}  // namespace

QStyle* NewFrameworkStyle() { return new FrameworkStyle(QApplication::style()->name()); }

}  // namespace fw
