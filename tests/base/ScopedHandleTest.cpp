#include "base/ScopedHandle.h"

#include <gtest/gtest.h>

#include <vector>

struct RecordingTraits : KernelHandleTraits {
    static void Close(HANDLE handle) { closed.push_back(handle); }
    static inline std::vector<HANDLE> closed;
};

TEST(ScopedHandle, ClosesEveryValidHandleExactlyOnceUnlessTaken)
{
    const HANDLE a = reinterpret_cast<HANDLE>(1), b = reinterpret_cast<HANDLE>(2), c = reinterpret_cast<HANDLE>(3);
    {
        ScopedHandle<RecordingTraits> first(a), second(b), failed(INVALID_HANDLE_VALUE);
        second = std::move(first); // closes b
        ScopedHandle<RecordingTraits> third(std::move(second));
        third.Reset(c); // closes a
        third.Reset(c); // the same handle: nothing to close
        EXPECT_EQ((std::pair{third.Take(), bool(first || second || third || failed)}), std::pair(c, false));
        first.Reset(b);
    }
    EXPECT_EQ(RecordingTraits::closed, (std::vector<HANDLE>{b, a, b}));
}
