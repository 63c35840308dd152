#include "gui/PrintSupportModule.h"

#include "core/Exceptions.h"
#include "gui/ModuleLoader.h"

#include <string>

namespace fw {

PrintSupportModule& PrintSupport() {
    static std::string failure;
    static PrintSupportModule* module = [] {
        using Entry = PrintSupportModule* (*)();
        auto entry = reinterpret_cast<Entry>(
            LoadModuleEntry(SCRANDLE_PRINTSUPPORT_MODULE, SCRANDLE_PRINTSUPPORT_DIR, "scrandle_print_support", failure));
        return entry ? entry() : nullptr;
    }();
    if (!module) throw RuntimeException("Printing is not available: " + failure);
    return *module;
}

}  // namespace fw
