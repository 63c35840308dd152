#include "app/Help.h"

#include "app/HelpPrint.h"
#include "core/Registry.h"
#include "gui/Runtime.h"

void Help::AddMenuHandlers(const fw::Ref<fw::Window>& window) {
    auto self = fw::Cast<Help>(window);
    fw::RuntimeAddMenuHandler(*self, "FilePrintHelp",
                              fw::RuntimeCreateDelegate(*self, &Help::FilePrintHelp_Action, "(  ) as Boolean"));
}

bool Help::FilePrintHelp_Action() { return PrintHelpCommand(); }

fw::Ref<Help> HelpInstance() { return fw::ImplicitWindowOf<Help>(); }

bool PrintHelpCommand() {
    return helpprint::PrintHelp([] { return HelpInstance()->TextArea1(); },
                                [] {
                                    // Only an open window is closed; asking the accessor would
                                    // make one.
                                    if (auto open = fw::GetImplicitWindow(Help::Definition().registeredName))
                                        open->Close();
                                });
}

void RegisterHelpClass() {
    const fw::Attributes pub{fw::Scope("Public")};
    fw::ClassDef def = fw::WindowClassDef(Help::Definition());
    def.Method("AddMenuHandlers", "( Window )", pub).Method("_FilePrintHelp_Action", "(  ) as Boolean", pub);
    def.Hook<Help, fw::Window>("AddMenuHandlers", "AddMenuHandlers", &Help::AddMenuHandlers);
    fw::RegisterClass(std::move(def));
    fw::RegisterControlClasses(Help::Definition());
}
