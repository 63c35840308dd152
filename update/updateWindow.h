// The update window: runs one update check. As it opens it turns its bar
// into a busy indicator, asks its socket hp for the update file and closes
// the version window; the reply (hp_PageReceived) reports the current
// version or offers the upgrade dialog (askUpgrade), a failure (hp_Error) is
// reported with the socket's code; a reply that is no update file (a status
// other than 2xx, or no version) is such a failure, with a code of its own
// (update/Reply.h). "Cancel", Return, Escape and the close box
// end the check at any time; the request ends with the window, and no
// handler of a closed window runs. Its definition
// (resources/updateWindow.window) gives it its controls and the bindings of
// the socket's and the button's handlers.
#pragma once

#include "updateWindow.window.h"

class updateWindow : public fw::Window {
    FW_WINDOW_MEMBERS(updateWindow)

public:
    void Event_Open();
    // The tag functions of the reply (update/Reply.h), as the class's methods.
    fw::String startTag(const fw::String& name);
    fw::String endTag(const fw::String& name);
    // The modal three-button dialog offering the version; closes the window
    // unless the user chose "Go to Website".
    void askUpgrade(const fw::String& version, const fw::String& description, const fw::String& downloadAddress,
                    bool free);
    fw::String returnValue(const fw::String& reply, const fw::String& name);

    // True: a reply naming the running version closes the window without the
    // message box. Nothing in the program sets it.
    bool automaticCheck = false;
};

// The implicit-instance accessor: the open update window or a new one.
fw::Ref<updateWindow> updateWindowInstance();

// Registers the classes of the update checker, in start-up's order:
// "updateWindow.updateWindow", its socket's "updateWindow.hp", then
// "selfTest.selfTest".
void RegisterUpdateClasses();
