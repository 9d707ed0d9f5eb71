// instance.cpp -- the single-instance lock on an abstract Unix socket, and raise requests.
#include "platform/instance.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "platform/env.h"

namespace platform {

namespace {

constexpr char kRaiseByte = 'R';
constexpr int kRequestTimeoutMs = 1000;   // a silent client is dropped after this

std::atomic<int> g_raise_requests{0};

// sockaddr for "\0flyingfish-<uid>-<name>" (abstract: no file, gone with the socket).
socklen_t MakeAddress(const std::string& name, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::string id = "flyingfish-" + std::to_string(getuid()) + "-" + name;
    size_t room = sizeof address.sun_path - 1;   // first byte stays 0
    if (id.size() > room) id.resize(room);
    std::memcpy(address.sun_path + 1, id.data(), id.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + id.size());
}

// Reads one request from a connected client, waiting at most kRequestTimeoutMs.
void ServeClient(int client) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(client, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        credentials.uid != getuid()) {
        return;   // only copies run by the same user may ask
    }
    pollfd in{client, POLLIN, 0};
    if (poll(&in, 1, kRequestTimeoutMs) <= 0) return;
    char byte = 0;
    if (recv(client, &byte, 1, 0) == 1 && byte == kRaiseByte) g_raise_requests.fetch_add(1);
}

} // namespace

// Accepts raise requests until the wake pipe is written.
struct InstanceLock::Listener {
    int wake[2] = {-1, -1};
    std::thread thread;

    void Loop(int server) {
        for (;;) {
            pollfd fds[2] = {{server, POLLIN, 0}, {wake[0], POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[1].revents) return;
            if (fds[0].revents & POLLIN) {
                int client = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0) {
                    ServeClient(client);
                    close(client);
                }
            }
        }
    }
};

InstanceLock::~InstanceLock() { Release(); }

InstanceLock::Result InstanceLock::Acquire(const std::string& name) {
    if (fd_ >= 0) return Result::kAcquired;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Result::kFailed;
    sockaddr_un address;
    socklen_t length = MakeAddress(name, address);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        int error = errno;
        close(fd);
        return error == EADDRINUSE ? Result::kHeldElsewhere : Result::kFailed;
    }
    if (listen(fd, 8) != 0) {
        close(fd);
        return Result::kFailed;
    }
    auto* listener = new Listener;
    if (pipe2(listener->wake, O_CLOEXEC) != 0) {
        delete listener;
        close(fd);
        return Result::kFailed;
    }
    try {
        listener->thread = std::thread(&Listener::Loop, listener, fd);
    } catch (...) {
        close(listener->wake[0]);
        close(listener->wake[1]);
        delete listener;
        close(fd);
        return Result::kFailed;
    }
    fd_ = fd;
    listener_ = listener;
    return Result::kAcquired;
}

void InstanceLock::Release() {
    if (listener_) {
        char byte = 0;
        while (write(listener_->wake[1], &byte, 1) < 0 && errno == EINTR) {
        }
        listener_->thread.join();
        close(listener_->wake[0]);
        close(listener_->wake[1]);
        delete listener_;
        listener_ = nullptr;
    }
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

bool InstanceLock::RequestRaise(const std::string& name) {
    // Non-blocking: a holder that hangs with its queue of pending requests full refuses at once
    // instead of holding the second copy for ever.
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    sockaddr_un address;
    socklen_t length = MakeAddress(name, address);
    bool sent = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                send(fd, &kRaiseByte, 1, MSG_NOSIGNAL) == 1;
    close(fd);
    return sent;
}

std::string InstanceName(const std::string& default_name) {
    std::string chosen = GetEnv("FLYINGFISH_INSTANCE");
    return chosen.empty() ? default_name : chosen;
}

bool TakeRaiseRequest() {
    int pending = g_raise_requests.load();
    while (pending > 0) {
        if (g_raise_requests.compare_exchange_weak(pending, pending - 1)) return true;
    }
    return false;
}

} // namespace platform
