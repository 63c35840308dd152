// HTTPSocket: the framework's HTTP client, a non-visual control over a TCP
// connection of the network module (NetworkModule.h).
//
// Get starts an HTTP/1.0 GET and returns at once. Each request ends in
// exactly one of two events, raised on the user-interface thread:
// PageReceived (URL, status, headers, content) once the reply is complete,
// whatever its status, its body decoded as a text file is (TextCodec.h:
// UTF-8, else Windows-1252); or Error (a code of the table in Http.h) when
// no connection could be made, the network module cannot be loaded or the
// reply is broken. The events hand their
// handlers those arguments (String, int32_t, InternetHeaders, String; and
// int32_t), as a window definition's "event PageReceived String Int32
// InternetHeaders String" and "event Error Int32" bind them. A server that keeps the
// connection open without finishing leaves the request waiting: the client
// has no time-out of its own.
//
// A request ends with its control: Close, a new Get, closing the owner
// window and destroying the control each abort it, and no event of it is
// raised afterwards. The framing is Http.h's; only the connection is here.
#pragma once

#include "gui/Control.h"
#include "core/Http.h"
#include "gui/Runtime.h"

#include <memory>
#include <string>

class QObject;

namespace fw {

class TcpConnection;

// The headers of a reply, in the order they arrived.
class InternetHeaders {
public:
    InternetHeaders() = default;
    explicit InternetHeaders(std::vector<HttpHeader> headers) : headers_(std::move(headers)) {}

    int32_t Count() const { return static_cast<int32_t>(headers_.size()); }
    // Name and value of the header at index (from 0); empty out of range.
    String Name(int32_t index) const;
    String Value(int32_t index) const;
    // The value of the first header of that name (letter case ignored), or
    // the empty string.
    String Value(const String& name) const;

private:
    std::vector<HttpHeader> headers_;
};

class HTTPSocket : public Control {
public:
    HTTPSocket();
    ~HTTPSocket() override;

    std::string PropertyClassName() const override { return "HTTPSocket"; }

    // The framework's constructor of the control: resets the client (an
    // open request is aborted) and sets the default port to 80.
    void Constructor();

    // Starts a GET of the URL and returns at once; a request still under way
    // is aborted first, without an event. It raises nothing: a URL that
    // cannot be sent (BadAddress) or a network module that cannot be loaded
    // (NetworkUnavailable) is an Error event from the event loop.
    void Get(const String& url);
    // Aborts the request under way, if any; no event of it is raised.
    void Close();
    bool IsConnected() const;
    // A request is under way: Get was called and no event has ended it.
    bool IsBusy() const { return busy_; }

    // The arguments of the event being raised (and of the last one raised).
    const String& PageURL() const { return url_; }
    int32_t PageStatus() const { return status_; }
    const InternetHeaders& PageHeaders() const { return headers_; }
    const String& PageContent() const { return content_; }
    int32_t ErrorCode() const { return errorCode_; }

    // The socket's properties of a window definition; Get sets them from
    // its URL.
    const String& Address() const { return address_; }
    void SetAddress(const String& address) { address_ = address; }
    int32_t Port() const { return port_; }
    void SetPort(int32_t port) { port_ = port; }
    bool Yield() const { return yield_; }
    void SetYield(bool b) { yield_ = b; }

    void WindowClosed() override { Close(); }

protected:
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }

private:
    void Connected();
    void ReadAvailable();
    void ConnectionEnded();
    void SocketFailed(HttpError e);
    void Settle();
    void Drop();
    void RaiseError(HttpError e);
    void FailLater(uint64_t request, HttpError e);

    // Queued calls of this control die with it.
    std::unique_ptr<QObject> context_;
    std::unique_ptr<TcpConnection> socket_;
    std::unique_ptr<HttpReplyReader> reader_;
    bool busy_ = false;
    bool connected_ = false;
    std::string head_;
    // Counts requests, so that a deferred error of an aborted one is dropped.
    uint64_t request_ = 0;

    String url_;
    int32_t status_ = 0;
    InternetHeaders headers_;
    String content_;
    int32_t errorCode_ = 0;

    String address_;
    int32_t port_ = 80;
    bool yield_ = false;
};

}  // namespace fw
