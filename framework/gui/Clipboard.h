// The system clipboard's text. Every Clipboard object reads and writes the
// one system clipboard, so what SetText puts there is what the next paste
// finds, and it stays there after the object is gone.
#pragma once

#include "core/Object.h"
#include "core/String.h"

namespace fw {

class Clipboard : public Object {
public:
    // The clipboard's text; empty when it holds none.
    String Text() const;
    void SetText(const String& text);
    bool TextAvailable() const;
};

}  // namespace fw
