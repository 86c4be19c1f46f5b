#include "app/display_check.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

namespace studyhop {
namespace {

// Sets (or, with nullopt, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// A display number no X server listens on.
std::string unusedDisplay() {
    for (int n = 200;; ++n) {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (::access(socket.c_str(), F_OK) != 0) {
            return ":" + std::to_string(n);
        }
    }
}

struct Case {
    const char* name;
    std::optional<std::string> platform;
    std::optional<std::string> display;
    std::optional<std::string> wayland;
    const char* messageHas;  // nullptr: the program may start
    const char* chosen = nullptr;  // the platform chosen, when one is
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class DisplayProblemTest : public ::testing::TestWithParam<Case> {};

TEST_P(DisplayProblemTest, NamesWhatIsMissingOrLetsQtStart) {
    const Case& c = GetParam();
    const std::string display = c.display == std::optional<std::string>("unused")
                                    ? unusedDisplay()
                                    : c.display.value_or(std::string());
    ScopedEnv platform("QT_QPA_PLATFORM", c.platform);
    ScopedEnv displayVar("DISPLAY", c.display ? std::optional(display) : std::nullopt);
    ScopedEnv wayland("WAYLAND_DISPLAY", c.wayland);
    const auto start = std::chrono::steady_clock::now();
    const std::string problem = displayProblem(300);
    const auto waited = std::chrono::steady_clock::now() - start;
    if (c.chosen != nullptr) {
        EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), c.chosen);
    }
    if (c.messageHas == nullptr) {
        EXPECT_EQ(problem, "");
        return;
    }
    EXPECT_NE(problem.find(c.messageHas), std::string::npos) << problem;
    EXPECT_NE(problem.find("接続できません"), std::string::npos) << problem;
    if (!display.empty()) {
        EXPECT_NE(problem.find(display), std::string::npos) << "names the display: " << problem;
        EXPECT_GE(waited, std::chrono::milliseconds(300)) << "a server coming up is waited for";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Environments, DisplayProblemTest,
    ::testing::Values(
        Case{"Offscreen", "offscreen", std::nullopt, std::nullopt, nullptr},
        // No compositor answers here: Qt would abort with its English text.
        Case{"WaylandPlatform", "wayland", std::nullopt, "studyhop-none", "Wayland"},
        Case{"WaylandSessionWithoutX", std::nullopt, std::nullopt, "studyhop-none", "Wayland",
             "wayland"},
        // XWayland is there: the X platform, so that windows go where they are put.
        Case{"WaylandSessionWithXWayland", std::nullopt, "unused", "studyhop-none", "X サーバー",
             "xcb"},
        Case{"NoDisplayAtAll", std::nullopt, std::nullopt, std::nullopt, "DISPLAY"},
        Case{"XcbAskedForWithoutDisplay", "xcb", std::nullopt, "wayland-0", "DISPLAY"},
        Case{"EmptyDisplay", std::nullopt, "", std::nullopt, "DISPLAY"},
        Case{"NoServerOnTheDisplay", std::nullopt, "unused", std::nullopt, "X サーバー"},
        Case{"NoServerWithXcbOptions", "xcb:nograb", "unused", std::nullopt, "X サーバー"}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

// The real program, started without a display it can reach: status 1 and the
// message on stderr, never Qt's abort.
struct ProgramRun {
    int status = -1;
    bool signalled = false;
    std::string err;
};

ProgramRun runProgram(const std::optional<std::string>& display,
                      const std::optional<std::string>& wayland = std::nullopt) {
    int pipeFds[2];
    ProgramRun result;
    if (::pipe(pipeFds) != 0) {
        return result;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFds[1], 2);
        ::close(pipeFds[0]);
        ::unsetenv("QT_QPA_PLATFORM");
        wayland ? ::setenv("WAYLAND_DISPLAY", wayland->c_str(), 1) : ::unsetenv("WAYLAND_DISPLAY");
        display ? ::setenv("DISPLAY", display->c_str(), 1) : ::unsetenv("DISPLAY");
        ::execl(STUDYHOP_PROGRAM, STUDYHOP_PROGRAM, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        result.err.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.signalled = WIFSIGNALED(status);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(ProgramStartTest, WithoutADisplayEndsWithAMessageAndStatusOne) {
    const std::string display = unusedDisplay();
    for (const std::optional<std::string>& d : {std::optional<std::string>(), std::optional(display)}) {
        SCOPED_TRACE(d.value_or("DISPLAY unset"));
        const ProgramRun run = runProgram(d);
        EXPECT_FALSE(run.signalled) << run.err;
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("studyhop: 画面"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("qt.qpa"), std::string::npos) << "Qt never got to try: " << run.err;
    }
}

// With WAYLAND_DISPLAY set and neither XWayland nor a working Wayland
// platform, the program used to end in Qt's abort (status 134).
TEST(ProgramStartTest, WaylandSessionWithoutAPlatformEndsWithAMessageAndStatusOne) {
    const ProgramRun run = runProgram(std::nullopt, std::string("studyhop-none"));
    EXPECT_FALSE(run.signalled) << run.err;
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("studyhop: 画面に接続できません"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace studyhop
