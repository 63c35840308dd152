// The application object and the file type of the program.
#pragma once

#include "gui/Application.h"
#include "core/FileType.h"

class App : public fw::Application {
public:
    void Constructor() {}
};

// The registered application object as an App.
fw::Ref<App> AppObject();

namespace FileTypes1 {
// The one file type; nil until early start-up, released at shutdown.
fw::Ref<fw::FileType>& pUntitled();
void Initialize();
}  // namespace FileTypes1

void RegisterAppClass();
