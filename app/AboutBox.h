// The About box: the product's name, the running version, the credits and
// the two buttons that hand the author's mail address and the maker's web
// site (update/Addresses.h) to the desktop. Not modal; at most one is open,
// reached through AboutBoxInstance().
#pragma once

#include "AboutBox.window.h"

class AboutBox : public fw::Window {
    FW_WINDOW_MEMBERS(AboutBox)
};

// The implicit-instance accessor: the open About box or a new one.
fw::Ref<AboutBox> AboutBoxInstance();

// Registers the class "AboutBox.AboutBox".
void RegisterAboutBoxClass();
