#include "elements/ButtonElement.h"
#include "elements/ElementHost.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Graveyard.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A root over the test window holding a row at (20, 20)–(180, 80), widened once placed, with
// a button (id 7) at (80, 30)–(143, 53), all in poisoned memory.
class ElementTest : public ::testing::Test {
protected:
    ElementTest()
    {
        ClearGraveyard();
        host_.Attach(window_.Handle());
        host_.SetRoot(std::make_unique<Poisoned<ContainerElement>>());
        host_.ResizeRoot(200, 120);
        ContainerElement* const row = host_.Root()->AddChild(std::make_unique<Poisoned<ContainerElement>>());
        row->SetRect({20, 20, 100, 80});
        row->SetSize(160, 60);
        button_ = row->AddChild(std::make_unique<Poisoned<ButtonElement>>(L"Remove", 7));
        button_->MoveTo(60, 10, false);
        button_->SetSize(63, 23);
        // A click sends its id; a WM_COMMAND of id 0 posted during a press runs midPress.
        window_.onChildMessage = [this](UINT, WPARAM id, LPARAM) { id ? clicks_.push_back(id) : midPress_(); };
    }

    TestWindow window_{200, 120};
    ElementHost host_;
    ButtonElement* button_ = nullptr;
    std::vector<WPARAM> clicks_;
    std::function<void()> midPress_;
};

TEST_F(ElementTest, PressClicksOnlyOnAReleaseOverTheButton)
{
    const struct {
        const char* name;
        std::vector<std::pair<UINT, POINT>> queued;
        std::function<void()> midPress;
        std::size_t clicks;
    } cases[] = {
        {"moved on it and released", {{WM_MOUSEMOVE, {102, 42}}, {WM_LBUTTONUP, {102, 42}}}, nullptr, 1},
        {"out and back", {{WM_MOUSEMOVE, {150, 90}}, {WM_MOUSEMOVE, {101, 41}}, {WM_LBUTTONUP, {101, 41}}}, nullptr, 1},
        {"released outside", {{WM_MOUSEMOVE, {-5, -7}}, {WM_LBUTTONUP, {-5, -7}}}, nullptr, 0},
        {"capture lost", {{WM_COMMAND, {}}, {WM_LBUTTONUP, {100, 40}}}, [] { ReleaseCapture(); }, 0},
        {"quit", {{WM_COMMAND, {}}}, [] { PostQuitMessage(0); }, 0},
        {"row gone", {{WM_COMMAND, {}}, {WM_LBUTTONUP, {100, 40}}},
            [&] { host_.Root()->RemoveChild(std::exchange(button_, nullptr)->Parent(), false); }, 0},
    };
    for (const auto& c : cases) {
        clicks_.clear();
        midPress_ = c.midPress;
        for (const auto& [message, point] : c.queued) {
            PostMessageW(window_.Handle(), message, 0, MAKELPARAM(point.x, point.y));
        }
        MSG quit = {}; // the application's own loop must end too
        EXPECT_EQ((std::tuple<bool, std::vector<WPARAM>, HWND, bool, bool>{host_.TrackPress({100, 40}), clicks_,
                      GetCapture(), PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 0,
                      button_ && button_->Pressed()}),
            std::make_tuple(true, std::vector<WPARAM>(c.clicks, 7), nullptr, std::string(c.name) == "quit", false))
            << c.name;
    }
}

// How each look is drawn, the list's images show.
TEST_F(ElementTest, APressedButtonLooksPressedOnlyWhileThePointerIsOnItAndItsClickMayDeleteTheWholeTree)
{
    const auto look = [this] {
        const DibCanvas canvas(200, 120);
        host_.Paint(canvas.Dc(), nullptr);
        return canvas.Pixels({0, 0, 200, 120});
    };
    const auto normal = look();
    host_.OnMouseMove({100, 40});
    button_->OnMouseDown();
    EXPECT_NE(look(), normal);
    host_.OnMouseMove({10, 10}); // still pressed, the pointer gone
    EXPECT_EQ(look(), normal);

    window_.onChildMessage = [this](UINT, WPARAM, LPARAM) { host_.SetRoot(nullptr); };
    PostMessageW(window_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(100, 40));
    EXPECT_TRUE(host_.TrackPress({100, 40}));
    EXPECT_EQ(std::make_tuple(BuriedCount(), GraveyardUntouched(), host_.HoverElement()),
        std::make_tuple(3u, true, nullptr));
}

} // namespace
