#include "gui/Application.h"

namespace fw {

namespace {
std::string HandlerKey(const String& name) { return Lowercase(name).ToUtf8(); }
}  // namespace

void Application::AddMenuHandler(const String& itemName, MenuCommand command) {
    menuHandlers_[HandlerKey(itemName)] = std::move(command);
}

bool Application::RunMenuHandler(const String& itemName) {
    auto it = menuHandlers_.find(HandlerKey(itemName));
    if (it == menuHandlers_.end() || !it->second) return false;
    MenuCommand command = it->second;  // the handler may register others meanwhile
    command();
    return true;
}

Ref<Application> TheApplication() { return Cast<Application>(GetAppObject()); }

}  // namespace fw
