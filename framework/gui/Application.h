// The application object: the program's subclass of Application is created
// at start-up and registered with RuntimeRegisterAppObject; the framework
// holds it for the life of the process. It carries the application's menu
// bar and the version properties, which come from the version information
// handed to the runtime (RuntimeSetVersionInfo), never from program code.
#pragma once

#include "gui/Menu.h"
#include "core/Object.h"
#include "core/RuntimeCore.h"
#include "core/String.h"
#include "gui/Window.h"

#include <map>
#include <string>

namespace fw {

class Application : public Object {
public:
    void Constructor() {}

    void SetMenuBar(const Ref<fw::MenuBar>& bar) { menuBar_ = bar; }
    Ref<fw::MenuBar> MenuBar() const { return menuBar_; }

    int32_t MajorVersion() const { return RuntimeVersionInfo().major; }
    int32_t MinorVersion() const { return RuntimeVersionInfo().minor; }
    int32_t BugVersion() const { return RuntimeVersionInfo().bug; }
    String ShortVersion() const { return RuntimeVersionInfo().shortVersion; }
    String LongVersion() const { return RuntimeVersionInfo().longVersion; }

    // Application-wide menu commands, tried after the frontmost window's.
    void AddMenuHandler(const String& itemName, MenuCommand command);
    // Runs the command registered under the name; false when there is none.
    bool RunMenuHandler(const String& itemName);

private:
    Ref<fw::MenuBar> menuBar_;
    std::map<std::string, MenuCommand> menuHandlers_;
};

// The registered application object as an Application (nil when none is
// registered; IllegalCastException when it is of another class).
Ref<Application> TheApplication();

}  // namespace fw
