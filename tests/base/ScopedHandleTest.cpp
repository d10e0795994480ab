#include "base/ScopedHandle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Records what it closes instead of closing anything.
struct RecordingTraits {
    using Handle = HANDLE;
    static bool IsValid(HANDLE handle) { return KernelHandleTraits::IsValid(handle); }
    static void Close(HANDLE handle) { closed.push_back(handle); }
    static std::vector<HANDLE> closed;
};
std::vector<HANDLE> RecordingTraits::closed;

using RecordingHandle = ScopedHandle<RecordingTraits>;

HANDLE Fake(int value)
{
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(value));
}

TEST(ScopedHandleTest, EveryValidHandleIsClosedExactlyOnceWhateverItsPath)
{
    RecordingTraits::closed.clear();
    {
        RecordingHandle first(Fake(1));
        RecordingHandle second(Fake(2));
        second = std::move(first); // closes 2, takes 1
        RecordingHandle third(std::move(second));
        EXPECT_FALSE(first);
        EXPECT_FALSE(second);
        EXPECT_EQ(third.Get(), Fake(1));
        third.Reset(Fake(3));             // closes 1
        third.Reset(Fake(3));             // the same handle again: nothing closed
        EXPECT_EQ(third.Take(), Fake(3)); // handed over, never closed here
        RecordingHandle failed(INVALID_HANDLE_VALUE);
        EXPECT_FALSE(failed);
        RecordingHandle empty;
        EXPECT_FALSE(empty);
        RecordingHandle fourth(Fake(4));
        EXPECT_TRUE(fourth);
    }
    EXPECT_EQ(RecordingTraits::closed, (std::vector<HANDLE>{Fake(2), Fake(1), Fake(4)}));
}

TEST(ScopedHandleTest, TakenKernelHandleOutlivesItsHolder)
{
    HANDLE taken = nullptr;
    {
        ScopedKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        taken = event.Take();
    }
    EXPECT_TRUE(SetEvent(taken));
    {
        const ScopedKernelHandle owner(taken);
    }
    EXPECT_FALSE(SetEvent(taken));
}

} // namespace
