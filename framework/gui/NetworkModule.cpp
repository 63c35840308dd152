#include "gui/NetworkModule.h"

#include "gui/ModuleLoader.h"

namespace fw {

NetworkModule& Network() {
    return LoadedModule<NetworkModule>(SCRANDLE_NETWORK_MODULE, SCRANDLE_NETWORK_DIR, "scrandle_network",
                                       "The network is not available");
}

}  // namespace fw
