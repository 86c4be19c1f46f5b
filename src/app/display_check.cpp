#include "app/display_check.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

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

}  // namespace

std::string displayProblem(int waitMilliseconds) {
    const std::string platform = environment("QT_QPA_PLATFORM");
    if (!platform.empty() && std::string_view(platform).substr(0, 3) != "xcb") {
        return {};
    }
    const std::string display = environment("DISPLAY");
    if (display.empty()) {
        if (platform.empty() && !environment("WAYLAND_DISPLAY").empty()) {
            return {};
        }
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
