#include "gui/NetworkModule.h"

#include "core/Exceptions.h"
#include "gui/ModuleLoader.h"

namespace fw {

NetworkModule& Network() {
    static std::string failure;
    static NetworkModule* module = [] {
        using Entry = NetworkModule* (*)();
        auto entry = reinterpret_cast<Entry>(
            LoadModuleEntry(SCRANDLE_NETWORK_MODULE, SCRANDLE_NETWORK_DIR, "scrandle_network", failure));
        return entry ? entry() : nullptr;
    }();
    if (!module) throw RuntimeException("The network is not available: " + failure);
    return *module;
}

}  // namespace fw
