#include "app/display_check.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

#include <QDir>
#include <QLibraryInfo>
#include <QString>

namespace studyhop {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// libxcb is what Qt's X plugin connects with; it is loaded at run time so the
// program needs no X development files to build.
class Xcb {
public:
    Xcb() : m_library(::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL)) {
        if (m_library != nullptr) {
            m_connect = reinterpret_cast<Connect>(::dlsym(m_library, "xcb_connect"));
            m_hasError = reinterpret_cast<HasError>(::dlsym(m_library, "xcb_connection_has_error"));
            m_disconnect = reinterpret_cast<Disconnect>(::dlsym(m_library, "xcb_disconnect"));
        }
    }
    ~Xcb() {
        if (m_library != nullptr) {
            ::dlclose(m_library);
        }
    }
    Xcb(const Xcb&) = delete;
    Xcb& operator=(const Xcb&) = delete;

    bool usable() const { return m_connect && m_hasError && m_disconnect; }

    bool connects(const std::string& display) const {
        void* connection = m_connect(display.c_str(), nullptr);
        const bool ok = connection != nullptr && m_hasError(connection) == 0;
        if (connection != nullptr) {
            m_disconnect(connection);
        }
        return ok;
    }

private:
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);

    void* m_library;
    Connect m_connect = nullptr;
    HasError m_hasError = nullptr;
    Disconnect m_disconnect = nullptr;
};

// Whether Qt's Wayland platform plugin is installed where Qt looks for it.
bool waylandPluginInstalled() {
    QStringList folders = QString::fromStdString(environment("QT_PLUGIN_PATH"))
                              .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    for (const QString& folder : folders) {
        if (!QDir(folder + QStringLiteral("/platforms"))
                 .entryList({QStringLiteral("libqwayland*.so")}, QDir::Files)
                 .isEmpty()) {
            return true;
        }
    }
    return false;
}

// Whether a Wayland compositor accepts a connection on the session's socket.
bool waylandAnswers() {
    std::string socketPath = environment("WAYLAND_DISPLAY");
    if (socketPath.empty()) {
        socketPath = "wayland-0";
    }
    if (socketPath.front() != '/') {
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        if (runtime.empty()) {
            return false;
        }
        socketPath = runtime + "/" + socketPath;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        return false;
    }
    socketPath.copy(address.sun_path, socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

std::string waylandProblem() {
    if (!waylandPluginInstalled()) {
        return "studyhop: 画面に接続できません。Wayland の画面に表示する部品（qt6-wayland）が"
               "なく、XWayland（DISPLAY）もありません。\n"
               "studyhop: cannot open a window: no Qt Wayland plugin and no XWayland.\n";
    }
    if (!waylandAnswers()) {
        return "studyhop: 画面に接続できません。Wayland の画面 " + environment("WAYLAND_DISPLAY") +
               " が応答しません。\n"
               "studyhop: cannot connect to the Wayland display.\n";
    }
    return {};
}

}  // namespace

std::string displayProblem(int waitMilliseconds) {
    std::string platform = environment("QT_QPA_PLATFORM");
    const bool waylandSession = !environment("WAYLAND_DISPLAY").empty();
    std::string display = environment("DISPLAY");
    if (platform.empty() && waylandSession) {
        platform = display.empty() ? "wayland" : "xcb";
        ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    }
    if (std::string_view(platform).substr(0, 7) == "wayland") {
        return waylandProblem();
    }
    if (!platform.empty() && std::string_view(platform).substr(0, 3) != "xcb") {
        return {};
    }
    if (display.empty()) {
        return "studyhop: 画面に接続できません。DISPLAY が設定されていません。"
               "デスクトップの中で起動してください。\n"
               "studyhop: cannot open a window: DISPLAY is not set.\n";
    }
    const Xcb xcb;
    if (!xcb.usable()) {
        return {};
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        if (xcb.connects(display)) {
            return {};
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "studyhop: 画面 " + display + " に接続できません。X サーバーが動いているか確かめてください。\n" +
           "studyhop: cannot connect to the display " + display + ".\n";
}

}  // namespace studyhop
