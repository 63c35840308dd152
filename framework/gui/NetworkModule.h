// TCP connections through Qt Network, kept in a module of its own that is
// loaded by the first request (HTTPSocket). Loading Qt Network and the
// libraries it pulls in with the program costs every start-up, and most
// sessions never connect.
#pragma once

#include "core/Http.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace fw {

// What a connection tells its owner, from the event loop.
struct TcpEvents {
    std::function<void()> connected, readyRead, disconnected;
    // No connection could be made, or an open one failed.
    std::function<void(HttpError)> failed;
};

class TcpConnection {
public:
    // Destroying the connection aborts it, and no event of it follows; it
    // may be destroyed inside one of its own events.
    virtual ~TcpConnection() = default;
    // Connects from the event loop, never inside the call; with no proxy.
    virtual void ConnectToHost(const std::string& host, uint16_t port) = 0;
    virtual void Write(std::string_view bytes) = 0;
    virtual int64_t BytesAvailable() const = 0;
    // Up to size bytes into buffer; the count read, 0 or less when none.
    virtual int64_t Read(char* buffer, int64_t size) = 0;
};

class NetworkModule {
public:
    virtual std::unique_ptr<TcpConnection> NewConnection(TcpEvents events) = 0;

protected:
    ~NetworkModule() = default;
};

// The loaded module; raises RuntimeException when it cannot be loaded.
NetworkModule& Network();

}  // namespace fw
