// The two menu bars, each built once per process on its first request.
#pragma once

#include "gui/Menu.h"

class MenuBar1 : public fw::MenuBar {
public:
    void Constructor();
    void Untitled0();
    void Untitled1();
    void Untitled2();
    void Untitled3();
};

class MenuBar2 : public fw::MenuBar {
public:
    void Constructor();
    void Untitled0();
    void Untitled1();
};

// The single instances (created on the first call).
fw::Ref<MenuBar1> MenuBar1();
fw::Ref<MenuBar2> MenuBar2();
// Shutdown: clears the module reference and releases the instance.
void ReleaseMenuBar1();
void ReleaseMenuBar2();

void RegisterMenuBarClasses();  // MenuBar1
void RegisterMenuBar2Class();
