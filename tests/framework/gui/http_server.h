// A scripted HTTP server on 127.0.0.1 for the HTTP client's tests: it runs
// on a thread of its own with plain sockets, accepts one connection, reads
// the request head and then plays its script (send, reset, close, stay
// silent), so that a test can reproduce what a hostile server does.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace http_test {

// The connection as the script sees it.
class Peer {
public:
    explicit Peer(int fd) : fd_(fd) {}
    ~Peer() {
        if (fd_ >= 0) ::close(fd_);
    }

    // Reads up to the end of the request head (or a deadline).
    std::string ReadRequest(int deadlineMs = 5000) {
        std::string head;
        const auto end = Now() + std::chrono::milliseconds(deadlineMs);
        while (head.find("\r\n\r\n") == std::string::npos && Now() < end) {
            if (!Readable(10)) continue;
            char buf[1024];
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) break;
            head.append(buf, static_cast<std::size_t>(n));
        }
        return head;
    }
    // False once the client has gone.
    bool Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    // Each byte in a packet of its own, with a pause after each: a server
    // that trickles its reply, so that the client meets it in pieces. The
    // pause is the trickle itself, not a wait for anything. sent, if
    // given, counts the bytes as they go.
    bool SendByteByByte(std::string_view bytes, std::atomic<uint64_t>* sent = nullptr) {
        int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        for (char c : bytes) {
            if (!Send(std::string_view(&c, 1))) return false;
            if (sent) ++*sent;
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return true;
    }
    // Waits until the client's end has acknowledged every byte sent, so
    // that what comes next (a reset) finds them there; false at the
    // deadline.
    bool WaitUntilDelivered(int deadlineMs = 5000) {
        const auto end = Now() + std::chrono::milliseconds(deadlineMs);
        for (;;) {
            int unacknowledged = 0;
            if (::ioctl(fd_, SIOCOUTQ, &unacknowledged) != 0) return false;
            if (unacknowledged == 0) return true;
            if (Now() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // Ends the connection with a reset instead of an orderly close.
    void Reset() {
        linger l{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        Close();
    }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    // Waits until the client closes its end; false at the deadline.
    bool WaitForClientClose(int deadlineMs) {
        const auto end = Now() + std::chrono::milliseconds(deadlineMs);
        while (Now() < end) {
            if (!Readable(10)) continue;
            char buf[256];
            if (::recv(fd_, buf, sizeof buf, 0) <= 0) return true;
        }
        return false;
    }

private:
    static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
    bool Readable(int ms) {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
    int fd_;
};

class Server;
using Script = std::function<void(Peer&, Server&)>;

class Server {
public:

    // Listens at once; the script runs on the first connection.
    explicit Server(Script script) : script_(std::move(script)) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listen_, 4);
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~Server() {
        stop_ = true;
        thread_.join();
        ::close(listen_);
    }

    uint16_t Port() const { return port_; }
    std::string Url(const std::string& path = "/Updates/scrandle.xml") const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    // The request head the server read.
    std::string Request() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return request_;
    }
    bool ScriptDone() const { return done_; }
    // Set by scripts: whatever they want the test to see.
    std::atomic<bool> clientClosed{false};
    std::atomic<uint64_t> bytesSent{0};

    // A port on which nothing listens: connections to it are refused.
    static uint16_t ClosedPort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        ::close(fd);
        return ntohs(a.sin_port);
    }

private:
    void Run() {
        while (!stop_) {
            pollfd p{listen_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            const int fd = ::accept(listen_, nullptr, nullptr);
            if (fd < 0) continue;
            Peer peer(fd);
            const std::string head = peer.ReadRequest();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                request_ = head;
            }
            script_(peer, *this);
            break;
        }
        done_ = true;
    }

    Script script_;
    int listen_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    mutable std::mutex mutex_;
    std::string request_;
};

}  // namespace http_test
