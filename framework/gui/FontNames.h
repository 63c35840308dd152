// Turning a font name of a window definition or of a printer graphics into
// a Qt font family.
#pragma once

#include "core/String.h"

class QFont;

namespace fw {

// Sets the font's family for the name. "System" (or empty) leaves the
// application's default font. The names the program uses go by table to
// the Liberation fonts made with their metrics ("Courier" to Liberation
// Mono, "Arial" to Liberation Sans): fontconfig would pick whichever
// stand-in is installed, URW's Nimbus fonts among them, whose lines are
// taller, and the text would no longer fit the places and the printed page
// it was laid out for. Other names go to fontconfig as they are.
void SetFontName(QFont& font, const String& name);

}  // namespace fw
