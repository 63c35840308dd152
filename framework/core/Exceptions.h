// The framework's exceptions. Program code catches none of them; an
// exception that escapes a handler goes to the unhandled-exception report.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace fw {

class RuntimeException : public std::runtime_error {
public:
    explicit RuntimeException(const std::string& message) : std::runtime_error(message) {}
    // The exception's class name as the report shows it.
    virtual const char* TypeName() const { return "RuntimeException"; }
};

// Using an empty object reference.
class NilObjectException : public RuntimeException {
public:
    explicit NilObjectException(const std::string& message = "An object reference was nil.")
        : RuntimeException(message) {}
    const char* TypeName() const override { return "NilObjectException"; }
};

// A file or stream operation failed; ErrorNumber is the OS error number.
class IOException : public RuntimeException {
public:
    IOException(const std::string& message, int32_t errorNumber)
        : RuntimeException(message), ErrorNumber(errorNumber) {}
    const char* TypeName() const override { return "IOException"; }
    int32_t ErrorNumber;
};

// A cast with a type test found an object of another class.
class IllegalCastException : public RuntimeException {
public:
    explicit IllegalCastException(const std::string& message) : RuntimeException(message) {}
    const char* TypeName() const override { return "IllegalCastException"; }
};

// A property set that cannot be read or applied: names the key and the byte
// offset of its entry.
class PropertySetException : public RuntimeException {
public:
    PropertySetException(const std::string& message, std::string key, std::size_t offset)
        : RuntimeException(message), Key(std::move(key)), Offset(offset) {}
    const char* TypeName() const override { return "PropertySetException"; }
    std::string Key;
    std::size_t Offset;
};

}  // namespace fw
