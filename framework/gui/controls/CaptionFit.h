// A caption shows whole in its control at the control's designed size: when
// the text does not fit the room the style gives it in the designed font,
// it is drawn in a smaller size of that font. The designed sizes come from
// a platform whose system font is narrower than the fonts found here.
#pragma once

#include <QFont>

class QSize;
class QString;

namespace fw::controls {

// The designed font when the text fits room in it, else the same font at
// the largest pixel size at which it fits (never below 6 pixels). An empty
// room (a control not yet sized) keeps the designed font. flags are those
// the widget draws the text with (Qt::TextShowMnemonic for a button).
QFont FittedFont(const QFont& designed, const QString& text, const QSize& room, int flags);

}  // namespace fw::controls
