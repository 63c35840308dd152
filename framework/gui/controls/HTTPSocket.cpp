#include "gui/controls/HTTPSocket.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTcpSocket>

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

namespace {

HttpError ConnectError(QAbstractSocket::SocketError e) {
    switch (e) {
        case QAbstractSocket::HostNotFoundError: return HttpError::HostNotFound;
        case QAbstractSocket::ConnectionRefusedError: return HttpError::ConnectionRefused;
        // Qt reports no route to the host or its network, and a refused
        // attempt at the network level, as NetworkError.
        case QAbstractSocket::NetworkError: return HttpError::HostUnreachable;
        case QAbstractSocket::SocketTimeoutError: return HttpError::TimedOut;
        case QAbstractSocket::RemoteHostClosedError: return HttpError::ConnectionLost;
        default: return HttpError::SocketFailure;
    }
}

}  // namespace

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
    // The outcome arrives from the event loop, never inside Get: the caller
    // may still be setting things up when a handler would run.
    if (target.error != HttpError::None) {
        const HttpError e = target.error;
        QMetaObject::invokeMethod(
            context_.get(), [this, request, e] { if (request == request_ && busy_) RaiseError(e); }, Qt::QueuedConnection);
        return;
    }
    head_ = HttpRequestHead(target);
    reader_ = std::make_unique<HttpReplyReader>();
    socket_ = new QTcpSocket;
    socket_->setProxy(QNetworkProxy::NoProxy);
    QObject::connect(socket_, &QTcpSocket::connected, socket_, [this] { Connected(); });
    QObject::connect(socket_, &QTcpSocket::readyRead, socket_, [this] { ReadAvailable(); });
    QObject::connect(socket_, &QTcpSocket::disconnected, socket_, [this] { ConnectionEnded(); });
    QObject::connect(socket_, &QTcpSocket::errorOccurred, socket_,
                     [this](QAbstractSocket::SocketError e) { SocketFailed(e); });
    QTcpSocket* s = socket_;
    const QString host = QString::fromStdString(target.host);
    const quint16 port = target.port;
    QMetaObject::invokeMethod(
        s, [s, host, port] { s->connectToHost(host, port); }, Qt::QueuedConnection);
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
    if (!socket_) return;
    QTcpSocket* s = socket_;
    socket_ = nullptr;
    // No signal of the aborted connection may reach this control, and the
    // socket may be inside one of its own signals: released later.
    s->disconnect();
    s->abort();
    if (QCoreApplication::instance()) s->deleteLater();
    else delete s;
}

void HTTPSocket::Connected() {
    connected_ = true;
    socket_->write(head_.data(), static_cast<qint64>(head_.size()));
}

void HTTPSocket::ReadAvailable() {
    if (!socket_ || !reader_) return;
    // A handler may drop the last reference to this control.
    const std::shared_ptr<Object> keep = weak_from_this().lock();
    while (socket_->bytesAvailable() > 0 && !reader_->Ended()) {
        char buf[16 * 1024];
        const qint64 n = socket_->read(buf, sizeof buf);
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

void HTTPSocket::SocketFailed(int qtError) {
    if (!socket_) return;
    // Once connected, any failure ends the connection; whether the reply was
    // complete by then is the reader's to say.
    if (connected_) {
        ConnectionEnded();
        return;
    }
    const std::shared_ptr<Object> keep = weak_from_this().lock();
    RaiseError(ConnectError(static_cast<QAbstractSocket::SocketError>(qtError)));
}

void HTTPSocket::Settle() {
    if (!reader_ || !reader_->Ended()) return;
    if (reader_->GetState() == HttpReplyReader::State::Failed) {
        RaiseError(reader_->Error());
        return;
    }
    status_ = reader_->Status();
    headers_ = InternetHeaders(reader_->Headers());
    content_ = String::FromUtf8(reader_->Body());
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
