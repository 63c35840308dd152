#include "core/FileType.h"

namespace fw {

namespace {
std::vector<RegisteredFileType>& List() {
    static std::vector<RegisteredFileType> list;
    return list;
}
}  // namespace

String FileType::ToString() {
    if (!registered_) {
        List().push_back({name_, extensions_, macType_, macCreator_});
        registered_ = true;
    }
    return name_;
}

const std::vector<RegisteredFileType>& RegisteredFileTypes() { return List(); }

void ClearRegisteredFileTypes() { List().clear(); }

}  // namespace fw
