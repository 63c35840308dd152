// The network module (NetworkModule.h): everything of the framework that
// needs Qt Network, loaded on first use. It uses nothing of the framework
// but these interfaces.
#include "gui/NetworkModule.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTcpSocket>

namespace fw {
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

class QtTcpConnection final : public TcpConnection {
public:
    explicit QtTcpConnection(TcpEvents events) : socket_(new QTcpSocket) {
        socket_->setProxy(QNetworkProxy::NoProxy);
        QObject::connect(socket_, &QTcpSocket::connected, socket_, std::move(events.connected));
        QObject::connect(socket_, &QTcpSocket::readyRead, socket_, std::move(events.readyRead));
        QObject::connect(socket_, &QTcpSocket::disconnected, socket_, std::move(events.disconnected));
        QObject::connect(socket_, &QTcpSocket::errorOccurred, socket_,
                         [failed = std::move(events.failed)](QAbstractSocket::SocketError e) { failed(ConnectError(e)); });
    }

    ~QtTcpConnection() override {
        // No signal of the aborted connection may reach the owner, and the
        // socket may be inside one of its own signals: released later.
        socket_->disconnect();
        socket_->abort();
        if (QCoreApplication::instance()) socket_->deleteLater();
        else delete socket_;
    }

    void ConnectToHost(const std::string& host, uint16_t port) override {
        QTcpSocket* s = socket_;
        const QString h = QString::fromStdString(host);
        QMetaObject::invokeMethod(
            s, [s, h, port] { s->connectToHost(h, port); }, Qt::QueuedConnection);
    }

    void Write(std::string_view bytes) override { socket_->write(bytes.data(), static_cast<qint64>(bytes.size())); }
    int64_t BytesAvailable() const override { return socket_->bytesAvailable(); }
    int64_t Read(char* buffer, int64_t size) override { return socket_->read(buffer, size); }

private:
    QTcpSocket* socket_;
};

class QtNetworkModule final : public NetworkModule {
public:
    std::unique_ptr<TcpConnection> NewConnection(TcpEvents events) override {
        return std::make_unique<QtTcpConnection>(std::move(events));
    }
};

}  // namespace
}  // namespace fw

extern "C" __attribute__((visibility("default"))) fw::NetworkModule* scrandle_network() {
    static fw::QtNetworkModule module;
    return &module;
}
