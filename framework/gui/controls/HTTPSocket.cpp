#include "gui/controls/HTTPSocket.h"

#include "core/TextCodec.h"
#include "gui/NetworkModule.h"

#include <QObject>

#include <exception>

namespace fw {

// ---- InternetHeaders -------------------------------------------------------

String InternetHeaders::Name(int32_t index) const {
    if (index < 0 || index >= Count()) return String();
    return String::FromUtf8(headers_[static_cast<std::size_t>(index)].name);
}

String InternetHeaders::Value(int32_t index) const {
    if (index < 0 || index >= Count()) return String();
    return String::FromUtf8(headers_[static_cast<std::size_t>(index)].value);
}

String InternetHeaders::Value(const String& name) const {
    const std::string n = name.ToUtf8();
    for (const auto& h : headers_)
        if (HttpNamesEqual(h.name, n)) return String::FromUtf8(h.value);
    return String();
}

// ---- HTTPSocket ------------------------------------------------------------

HTTPSocket::HTTPSocket() : context_(std::make_unique<QObject>()) {}

HTTPSocket::~HTTPSocket() { Drop(); }

void HTTPSocket::Constructor() {
    Close();
    address_ = String();
    port_ = 80;
}

bool HTTPSocket::IsConnected() const { return socket_ && connected_; }

void HTTPSocket::Get(const String& url) {
    Close();
    const uint64_t request = ++request_;
    busy_ = true;
    url_ = url;
    status_ = 0;
    headers_ = InternetHeaders();
    content_ = String();
    errorCode_ = 0;

    const HttpTarget target = SplitHttpUrl(url.ToUtf8());
    address_ = String::FromUtf8(target.host);
    port_ = target.port;
    if (target.error != HttpError::None) {
        FailLater(request, target.error);
        return;
    }
    head_ = HttpRequestHead(target);
    reader_ = std::make_unique<HttpReplyReader>();
    try {
        socket_ = Network().NewConnection({[this] { Connected(); }, [this] { ReadAvailable(); },
                                           [this] { ConnectionEnded(); }, [this](HttpError e) { SocketFailed(e); }});
    } catch (const std::exception&) {
        // The network module cannot be loaded (missing, unreadable, broken).
        Drop();
        FailLater(request, HttpError::NetworkUnavailable);
        return;
    }
    socket_->ConnectToHost(target.host, target.port);
}

// The outcome arrives from the event loop, never inside Get: the caller
// may still be setting things up when a handler would run.
void HTTPSocket::FailLater(uint64_t request, HttpError e) {
    QMetaObject::invokeMethod(
        context_.get(), [this, request, e] { if (request == request_ && busy_) RaiseError(e); }, Qt::QueuedConnection);
}

void HTTPSocket::Close() {
    ++request_;
    busy_ = false;
    Drop();
}

void HTTPSocket::Drop() {
    reader_.reset();
    connected_ = false;
    head_.clear();
    // The connection may be inside one of its own events; it sees to that.
    socket_.reset();
}

void HTTPSocket::Connected() {
    connected_ = true;
    socket_->Write(head_);
}

void HTTPSocket::ReadAvailable() {
    if (!socket_ || !reader_) return;
    // A handler may drop the last reference to this control.
    const std::shared_ptr<Object> keep = weak_from_this().lock();
    while (socket_->BytesAvailable() > 0 && !reader_->Ended()) {
        char buf[16 * 1024];
        const int64_t n = socket_->Read(buf, sizeof buf);
        if (n <= 0) break;
        reader_->Feed(std::string_view(buf, static_cast<std::size_t>(n)));
    }
    if (reader_->Ended()) Settle();
}

void HTTPSocket::ConnectionEnded() {
    if (!socket_ || !reader_) return;
    const std::shared_ptr<Object> keep = weak_from_this().lock();
    const uint64_t request = request_;
    // The last bytes may arrive together with the end, and complete the
    // reply; its handler may even have started another request.
    ReadAvailable();
    if (request != request_ || !reader_) return;
    reader_->Finish();
    Settle();
}

void HTTPSocket::SocketFailed(HttpError e) {
    if (!socket_) return;
    // Once connected, any failure ends the connection; whether the reply was
    // complete by then is the reader's to say.
    if (connected_) {
        ConnectionEnded();
        return;
    }
    const std::shared_ptr<Object> keep = weak_from_this().lock();
    RaiseError(e);
}

void HTTPSocket::Settle() {
    if (!reader_ || !reader_->Ended()) return;
    if (reader_->GetState() == HttpReplyReader::State::Failed) {
        RaiseError(reader_->Error());
        return;
    }
    status_ = reader_->Status();
    headers_ = InternetHeaders(reader_->Headers());
    // Read as a message file is: UTF-8, else Windows-1252.
    content_ = DecodeText(reader_->Body()).text;
    ++request_;
    busy_ = false;
    Drop();
    RaiseEventWith("PageReceived", url_, status_, headers_, content_);
}

void HTTPSocket::RaiseError(HttpError e) {
    errorCode_ = static_cast<int32_t>(e);
    ++request_;
    busy_ = false;
    Drop();
    RaiseEventWith("Error", errorCode_);
}

}  // namespace fw
