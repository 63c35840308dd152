#include "gui/PrintSupportModule.h"

#include "gui/ModuleLoader.h"

namespace fw {

PrintSupportModule& PrintSupport() {
    return LoadedModule<PrintSupportModule>(SCRANDLE_PRINTSUPPORT_MODULE, SCRANDLE_PRINTSUPPORT_DIR,
                                            "scrandle_print_support", "Printing is not available");
}

}  // namespace fw
