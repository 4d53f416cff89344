// The window and message stand-ins: queue order, the quit message, sent messages, the close path,
// activation, and the headless backend's scripted Escape and focus changes.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "winapi/host.h"
#include "hosts/headless/headless.h"
#include "testing/testing.h"

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
};
std::vector<Seen> seen;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back({message, wParam});
    if (message == WM_DESTROY) PostQuitMessage(7);
    return DefWindowProcA(window, message, wParam, lParam);
}

class Messages : public ::testing::Test {
  protected:
    void SetUp() override {
        testkit::ResetPlatform();
        seen.clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "Test";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window = CreateWindowExA(0, "Test", "Test", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { testkit::ResetPlatform(); }

    HWND window = nullptr;
};

TEST_F(Messages, PostedMessagesComeInOrderAndPeekCanLeaveThem) {
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    PostMessageA(window, WM_KEYDOWN, 'B', 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, WPARAM('A'));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, WPARAM('A'));  // still there
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, WPARAM('A'));
    EXPECT_EQ(msg.hwnd, window);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, WPARAM('B'));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(seen.empty());  // nothing dispatched by itself
}

TEST_F(Messages, RangeFilterSkipsOtherMessages) {
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_CLOSE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
}

TEST_F(Messages, QuitComesAfterPostedMessagesAndEndsGetMessage) {
    PostQuitMessage(3);
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(3));
    EXPECT_EQ(winapi::QueuedMessageCount(), 0u);
}

TEST_F(Messages, CloseDestroysTheWindowWhichPostsQuit) {
    ShowWindow(window, SW_SHOWNORMAL);
    seen.clear();
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    DispatchMessageA(&msg);
    // WM_CLOSE, then (sent from inside its default handling) deactivation and WM_DESTROY.
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, UINT(WM_CLOSE));
    EXPECT_EQ(seen[1].message, UINT(WM_ACTIVATEAPP));
    EXPECT_EQ(seen[1].wParam, WPARAM(FALSE));
    EXPECT_EQ(seen[2].message, UINT(WM_DESTROY));
    EXPECT_FALSE(winapi::IsWindowAlive(window));
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, WPARAM(7));
    // A destroyed window takes no more messages.
    EXPECT_FALSE(PostMessageA(window, WM_KEYDOWN, 'A', 0));
    EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(Messages, ShowingTheWindowSendsActivationAtOnce) {
    EXPECT_TRUE(seen.empty());
    ShowWindow(window, SW_SHOWNORMAL);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, UINT(WM_ACTIVATEAPP));
    EXPECT_EQ(seen[0].wParam, WPARAM(TRUE));
    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_EQ(seen.size(), 1u);  // no change, no message
    EXPECT_EQ(winapi::QueuedMessageCount(), 0u);
}

TEST_F(Messages, DispatchCallsTheWindowProcedure) {
    MSG msg{window, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    DispatchMessageA(&msg);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(seen[0].wParam, WPARAM(VK_ESCAPE));
}

TEST_F(Messages, ScreenAndCursor) {
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_NE(arrow, nullptr);
    SetCursor(arrow);
    EXPECT_EQ(SetCursor(nullptr), arrow);
}

TEST(MessagesSetUp, WindowCreationCanBeMadeToFail) {
    testkit::ResetPlatform();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = "Test";
    RegisterClassA(&windowClass);
    EXPECT_EQ(CreateWindowExA(0, "Unregistered", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    std::string error;
    ASSERT_TRUE(testkit::ArmFailure("CreateWindowExA@2", &error)) << error;
    // The failed call above was the first.
    EXPECT_EQ(
        CreateWindowExA(0, "Test", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_NE(
        CreateWindowExA(0, "Test", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    testkit::ResetPlatform();
}

// The headless script: Escape is posted, and the focus lost, before the pass that would read the
// given time; waiting while inactive jumps the clock to the activation time.
TEST_F(Messages, HeadlessScriptPressesEscapeAndSwitchesFocus) {
    hosts::HeadlessOptions options;
    options.fps = 10;  // 17640 bytes a flip: t = 1, 2, 3 ... after 1, 2, 3 flips (roughly)
    options.escapeAt = 3;
    options.deactivateAt = 2;
    options.activateAt = 50;
    std::string error;
    ASSERT_TRUE(hosts::ConfigureHeadless(options, &error)) << error;
    ShowWindow(window, SW_SHOWNORMAL);
    seen.clear();
    uint16_t frame[4] = {};
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(hosts::HeadlessMusicPosition(), 0u);
    winapi::CurrentHost().PresentFrame(frame, 2, 2, 4);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));  // next t = 17640/17400 = 1
    EXPECT_TRUE(seen.empty());
    winapi::CurrentHost().PresentFrame(frame, 2, 2, 4);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));  // next t = 2: focus lost
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, UINT(WM_ACTIVATEAPP));
    EXPECT_EQ(seen[0].wParam, WPARAM(FALSE));
    WaitMessage();  // the music plays on to t = 50
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].wParam, WPARAM(TRUE));
    EXPECT_EQ(hosts::HeadlessMusicPosition(), 50u * 17400);
    // t is now past 3: Escape is waiting before the next pass.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, WPARAM(VK_ESCAPE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // pressed once only
    winapi::CurrentHost().PresentFrame(frame, 2, 2, 4);
    EXPECT_EQ(hosts::HeadlessMusicPosition(), 50u * 17400 + 17640);
    EXPECT_EQ(hosts::HeadlessResults().flips, 3);
}

}  // namespace
