// File types the application declares. Converting a FileType to its string
// form registers it with the runtime's list of file types, once per object;
// the string is the type's name.
#pragma once

#include "core/Object.h"
#include "core/String.h"

#include <vector>

namespace fw {

class FileType : public Object {
public:
    const String& Name() const { return name_; }
    void SetName(const String& v) { name_ = v; }
    const String& Extensions() const { return extensions_; }
    void SetExtensions(const String& v) { extensions_ = v; }
    const String& MacType() const { return macType_; }
    void SetMacType(const String& v) { macType_ = v; }
    const String& MacCreator() const { return macCreator_; }
    void SetMacCreator(const String& v) { macCreator_ = v; }

    // Registers the type on the first call for this object (with the values
    // it has then) and returns its name.
    String ToString();
    explicit operator String() { return ToString(); }
    bool Registered() const { return registered_; }

private:
    String name_, extensions_, macType_, macCreator_;
    bool registered_ = false;
};

struct RegisteredFileType {
    String name, extensions, macType, macCreator;
};

// The registered types, in the order of registration.
const std::vector<RegisteredFileType>& RegisteredFileTypes();
// Empties the list (for tests; objects already registered stay so).
void ClearRegisteredFileTypes();

}  // namespace fw
