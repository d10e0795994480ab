#include "draw/FontCache.h"
#include "elements/ButtonElement.h"

#include "tests/elements/ElementTestSupport.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Graveyard.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kButtonId = 3 * 65536 + 105;
constexpr COLORREF kWhite = RGB(255, 255, 255);

using RecordingButton = Poisoned<Recording<ButtonElement>>;
using Row = Poisoned<ContainerElement>;

// A row container inside the root holding one button at (80, 30)–(143, 53) of
// the window; presses are posted to the visible window as the system would.
class PressLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Graveyard::Instance().Clear();
        ContainerElement* const root = window_.MakeRoot();
        auto row = std::make_unique<Row>();
        row->SetRect({20, 20, 180, 80});
        row_ = root->AddChild(std::move(row));
        auto button = std::make_unique<RecordingButton>(log_, "button", L"Remove", kButtonId);
        button->SetRect({60, 10, 123, 33});
        button->SetFont(GetFont(FontFace::Tahoma, 12, /*bold=*/false, /*underline=*/false));
        button_ = row_->AddChild(std::move(button));
        ASSERT_EQ(window_.host.HitTest({110, 40}), button_);
    }

    void TearDown() override
    {
        if (GetCapture()) {
            ReleaseCapture();
        }
        Graveyard::Instance().Clear();
    }

    // The button's pixels as a window paint would show them now.
    std::vector<COLORREF> ButtonPixels()
    {
        DibCanvas canvas(200, 120, kWhite);
        window_.host.Paint(canvas.Dc(), nullptr);
        return canvas.Pixels({80, 30, 143, 53});
    }

    EventLog log_;
    HostWindow window_;
    ContainerElement* row_ = nullptr;
    RecordingButton* button_ = nullptr;
};

TEST_F(PressLoopTest, ReleaseBackOverTheButtonSendsOneCommandUpToTheWindow)
{
    ButtonElement* const other = row_->CreateButton(L"Other", 0, 0, 50, 20, 1);
    window_.Post(WM_MOUSEMOVE, 30, 30);
    window_.Post(WM_LBUTTONDOWN, 110, 40, MK_LBUTTON);
    window_.Post(WM_MOUSEMOVE, 150, 40, MK_LBUTTON);
    window_.Post(WM_MOUSEMOVE, 112, 42, MK_LBUTTON);
    window_.Post(WM_LBUTTONUP, 112, 42);
    HostWindow::Pump();

    EXPECT_TRUE(window_.pressTaken);
    EXPECT_FALSE(other->Hover()) << "the press makes the hovered element leave";
    EXPECT_EQ(log_, (EventLog{"button down", "button drag", "button leave", "button drag", "button enter",
                        "button up"}));
    ASSERT_EQ(window_.commands.size(), 1u);
    EXPECT_EQ(window_.commands[0].wParam, kButtonId);
    EXPECT_EQ(window_.commands[0].lParam, 0);
    EXPECT_FALSE(button_->Pressed());
    EXPECT_TRUE(button_->Hover());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(window_.host.LastPoint().x, 112);
}

TEST_F(PressLoopTest, ReleaseOutsideSendsNothingAndPaintsNormalAgain)
{
    const std::vector<COLORREF> normal = ButtonPixels();
    window_.Post(WM_LBUTTONDOWN, 110, 40, MK_LBUTTON);
    window_.Post(WM_MOUSEMOVE, -5, -7, MK_LBUTTON);
    window_.Post(WM_LBUTTONUP, -5, -7);
    HostWindow::Pump();

    EXPECT_TRUE(window_.pressTaken);
    EXPECT_EQ(log_, (EventLog{"button down", "button drag", "button leave", "button up"}));
    EXPECT_TRUE(window_.commands.empty());
    EXPECT_FALSE(button_->Pressed());
    EXPECT_FALSE(button_->Hover());
    EXPECT_EQ(window_.host.LastPoint().x, -5) << "coordinates are signed";
    EXPECT_EQ(window_.host.LastPoint().y, -7);
    EXPECT_EQ(window_.host.HoverElement(), button_) << "the press target stays hovered until the next move";
    EXPECT_EQ(ButtonPixels(), normal);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PressLoopTest, PressWhileAnotherWindowHoldsTheCaptureRunsNoLoop)
{
    const HostWindow other;
    SetCapture(other.Handle());
    ASSERT_EQ(GetCapture(), other.Handle());
    window_.Post(WM_LBUTTONUP, 110, 40);

    EXPECT_TRUE(window_.host.TrackPress({110, 40}));
    EXPECT_EQ(log_, EventLog{"button down"});
    EXPECT_TRUE(button_->Pressed());
    EXPECT_EQ(GetCapture(), other.Handle());
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, window_.Handle(), WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE))
        << "the release was not consumed";
    EXPECT_TRUE(window_.commands.empty());
}

// Ends a press that the loop failed to end, so that the test fails instead of hanging.
void CALLBACK ReleaseStuckPress(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));
}

TEST_F(PressLoopTest, QuitDuringAPressEndsItAndIsPostedAgain)
{
    SetTimer(window_.Handle(), 1, 5000, ReleaseStuckPress);
    PostQuitMessage(3);
    EXPECT_TRUE(window_.host.TrackPress({110, 40}));
    KillTimer(window_.Handle(), 1);

    EXPECT_EQ(log_, EventLog{"button down"});
    EXPECT_TRUE(button_->Pressed());
    EXPECT_EQ(GetCapture(), nullptr);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(PressLoopTest, OtherMessagesAreDispatchedDuringThePressAndLosingTheCaptureEndsIt)
{
    int appMessages = 0;
    window_.onApp = [&] {
        ++appMessages;
        EXPECT_EQ(GetCapture(), window_.Handle());
        EXPECT_TRUE(button_->Pressed());
        ReleaseCapture();
    };
    window_.Post(WM_LBUTTONDOWN, 110, 40, MK_LBUTTON);
    PostMessageW(window_.Handle(), WM_APP, 0, 0);
    window_.Post(WM_LBUTTONUP, 110, 40);
    HostWindow::Pump();

    EXPECT_EQ(appMessages, 1);
    EXPECT_EQ(log_, EventLog{"button down"});
    EXPECT_TRUE(window_.commands.empty());
}

TEST_F(PressLoopTest, ClickHandlerMayDeleteTheWholeTree)
{
    window_.onCommand = [this] { window_.host.SetRoot(nullptr); };
    window_.Post(WM_LBUTTONDOWN, 110, 40, MK_LBUTTON);
    window_.Post(WM_LBUTTONUP, 110, 40);
    HostWindow::Pump();

    EXPECT_EQ(window_.commands.size(), 1u);
    EXPECT_EQ(Graveyard::Instance().Count(), 2u) << "row and button deleted";
    EXPECT_TRUE(Graveyard::Instance().Untouched()) << "nothing wrote to a deleted element";
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PressLoopTest, ClickHandlerMayRemoveAndDeleteTheRow)
{
    window_.onCommand = [this] { window_.host.Root()->RemoveChild(row_, true); };
    window_.Post(WM_LBUTTONDOWN, 110, 40, MK_LBUTTON);
    window_.Post(WM_LBUTTONUP, 110, 40);
    window_.Post(WM_MOUSEMOVE, 111, 41);
    HostWindow::Pump();

    EXPECT_EQ(window_.commands.size(), 1u);
    EXPECT_EQ(log_, (EventLog{"button down", "button up", "button leave"}));
    EXPECT_EQ(Graveyard::Instance().Count(), 2u);
    EXPECT_TRUE(Graveyard::Instance().Untouched());
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
    EXPECT_TRUE(window_.host.Root()->Children().empty());
}

TEST_F(PressLoopTest, TargetLeavingTheTreeDuringThePressEndsTheLoop)
{
    std::unique_ptr<Element> removed;
    window_.onApp = [&] { removed = window_.host.Root()->RemoveChild(row_, false); };
    window_.Post(WM_LBUTTONDOWN, 110, 40, MK_LBUTTON);
    PostMessageW(window_.Handle(), WM_APP, 0, 0);
    window_.Post(WM_MOUSEMOVE, 150, 40, MK_LBUTTON);
    window_.Post(WM_LBUTTONUP, 110, 40);
    HostWindow::Pump();

    ASSERT_EQ(removed.get(), row_);
    EXPECT_EQ(log_, (EventLog{"button down", "button leave"})) << "no drag or release after the removal";
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(window_.commands.empty());
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
}

} // namespace
