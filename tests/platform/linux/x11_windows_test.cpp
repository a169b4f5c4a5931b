// X11 windows under Xvfb: closing windows by title (through openbox, and without a window manager),
// the active window's frame size for the full-screen test, and the primary screen's size.
#include "core/probes/fullscreen.h"
#include "linux_test_support.h"
#include "platform/native.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace vantor {
namespace {

using testing::Child;
using testing::ScopedEnv;
using testing::XServer;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

struct X11Fixture : ::testing::Test {
    explicit X11Fixture(bool withWm = true) : x(withWm, kScreenWidth, kScreenHeight) {}
    void SetUp() override {
        ASSERT_TRUE(x.ok());
        ASSERT_TRUE(testing::RequireTool("/usr/bin/xmessage"));
        ASSERT_TRUE(testing::RequireTool("/usr/bin/xdotool"));
    }
    // The id of the visible window with exactly that title; empty while there is none. Polled rather than
    // left to xdotool's --sync, which can wait forever.
    std::string FindWindow(const std::string& title) {
        std::string id;
        testing::WaitFor(
            [&] {
                const std::optional<std::string> out = testing::RunCommand(
                    {"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"},
                    std::chrono::milliseconds(3000));
                id = out ? out->substr(0, out->find('\n')) : std::string();
                return !id.empty();
            },
            std::chrono::milliseconds(15000));
        return id;
    }
    // An xmessage window with that title; waits until it is mapped.
    Child Window(const std::string& title, const std::string& geometry = "300x120+40+40") {
        Child w({"/usr/bin/xmessage", "-geometry", geometry, "-title", title, "a test window"});
        EXPECT_FALSE(FindWindow(title).empty())
            << "the window " << title << " did not show; windows: "
            << testing::RunCommand({"/usr/bin/xwininfo", "-root", "-tree"}).value_or("(xwininfo failed)")
            << " running: " << w.Running();
        return w;
    }
    void Activate(const std::string& title) {
        const std::string id = FindWindow(title);
        ASSERT_FALSE(id.empty());
        ASSERT_TRUE(testing::RunCommand({"/usr/bin/xdotool", "windowactivate", id}));
        ASSERT_TRUE(testing::WaitFor(
            [&] {
                const std::optional<std::string> active =
                    testing::RunCommand({"/usr/bin/xdotool", "getactivewindow"});
                return active && active->substr(0, active->find('\n')) == id;
            },
            std::chrono::milliseconds(10000)));
    }
    bool FullScreen() {
        const std::optional<WindowSize> w = platform->ForegroundWindowSize();
        const ScreenSize s = platform->PrimaryScreenSize();
        return w && CoversScreen(w->width, w->height, s.width, s.height);
    }

    XServer x;
    ScopedEnv display{"DISPLAY", x.display()};
    ScopedEnv type{"XDG_SESSION_TYPE", std::string("x11")};
    ScopedEnv wayland{"WAYLAND_DISPLAY", std::nullopt};
    std::unique_ptr<Platform> platform = CreateNativePlatform();
    // Unique titles keep parallel runs apart even though each has its own display.
    std::string tag = std::to_string(getpid());
};

TEST_F(X11Fixture, EndProcessClosesOneWindowTitledWithTheName) {
    const std::string title = "vantor target " + tag;
    Child first = Window(title, "300x120+40+40");
    Child second({"/usr/bin/xmessage", "-geometry", "300x120+400+40", "-title", title, "a test window"});
    ASSERT_TRUE(testing::WaitFor(
        [&] {
            const std::optional<std::string> out = testing::RunCommand(
                {"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"},
                std::chrono::milliseconds(3000));
            return out && std::count(out->begin(), out->end(), '\n') == 2;
        },
        std::chrono::milliseconds(15000)));
    Child bystander = Window("vantor bystander " + tag);
    platform->EndProcessByName(title);
    const bool firstClosed = first.WaitExit(std::chrono::milliseconds(5000));
    const bool secondClosed = second.WaitExit(std::chrono::milliseconds(firstClosed ? 500 : 5000));
    EXPECT_NE(firstClosed, secondClosed) << "not exactly one window of the title was closed";
    EXPECT_TRUE(bystander.Running()) << "a window of another title was closed";
}

TEST_F(X11Fixture, TitleIsComparedWithoutLetterCase) {
    Child target = Window("Vantor Target " + tag);
    platform->EndProcessByName("VANTOR TARGET " + tag);
    EXPECT_TRUE(target.WaitExit(std::chrono::milliseconds(5000)));
}

TEST_F(X11Fixture, PrimaryScreenIsTheDisplaySize) {
    const ScreenSize s = platform->PrimaryScreenSize();
    EXPECT_EQ(s.width, kScreenWidth);
    EXPECT_EQ(s.height, kScreenHeight);
}

TEST_F(X11Fixture, NoActiveWindowIsNoForegroundWindow) {
    EXPECT_FALSE(platform->ForegroundWindowSize().has_value());
    EXPECT_FALSE(FullScreen());
}

TEST_F(X11Fixture, SmallActiveWindowIsNotFullScreen) {
    Child w = Window("vantor small " + tag, "300x120+40+40");
    Activate("vantor small " + tag);
    const std::optional<WindowSize> size = platform->ForegroundWindowSize();
    ASSERT_TRUE(size.has_value());
    // The frame includes openbox's title bar and borders, so it is at least the client's size.
    EXPECT_GE(size->width, 300);
    EXPECT_GE(size->height, 120);
    EXPECT_LT(size->width, kScreenWidth);
    EXPECT_FALSE(FullScreen());
}

TEST_F(X11Fixture, ScreenSizedActiveWindowIsFullScreen) {
    Child w = Window("vantor full " + tag,
                     std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "+0+0");
    Activate("vantor full " + tag);
    const std::optional<WindowSize> size = platform->ForegroundWindowSize();
    ASSERT_TRUE(size.has_value());
    EXPECT_GE(size->width, kScreenWidth);
    EXPECT_GE(size->height, kScreenHeight);
    EXPECT_TRUE(FullScreen());
}

TEST_F(X11Fixture, WaylandSessionHasNoForegroundWindow) {
    Child w = Window("vantor full " + tag,
                     std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "+0+0");
    Activate("vantor full " + tag);
    // The X server here would only be XWayland, whose active window says nothing about the desktop.
    EXPECT_TRUE(platform->CanKnowForegroundWindow());
    ScopedEnv waylandSession("WAYLAND_DISPLAY", std::string("wayland-0"));
    EXPECT_FALSE(platform->ForegroundWindowSize().has_value());
    EXPECT_FALSE(platform->CanKnowForegroundWindow());
}

struct BareX11Fixture : X11Fixture {
    BareX11Fixture() : X11Fixture(false) {}
};

TEST_F(BareX11Fixture, ClosesThroughTheClientProtocolWithoutAWindowManager) {
    Child target = Window("vantor target " + tag);
    platform->EndProcessByName("vantor target " + tag);
    EXPECT_TRUE(target.WaitExit(std::chrono::milliseconds(5000)));
}

TEST(NoDisplay, AnswersNothingWithoutX) {
    ScopedEnv display("DISPLAY", std::nullopt);
    auto platform = CreateNativePlatform();
    EXPECT_FALSE(platform->ForegroundWindowSize().has_value());
    EXPECT_EQ(platform->PrimaryScreenSize().width, 0);
    platform->EndProcessByName("anything"); // no window pass, no crash
}

} // namespace
} // namespace vantor
