// The live-collection registry: a collection is registered exactly
// while it exists. Each test runs on a thread of its
// own, since the registry is per thread.
#include <gtest/gtest.h>

#include <thread>

#include "NotifyFolders.h"
#include "modValidatePointer.h"

namespace {

template <class Body>
void OnFreshThread(Body body)
{
    std::thread worker([&] {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        body();
        ::CoUninitialize();
    });
    worker.join();
}

} // namespace

TEST(modValidatePointer, ACollectionIsRegisteredExactlyWhileItLives)
{
    OnFreshThread([] {
        using namespace modValidatePointer;
        int32_t first = 0, second = 0;
        {
            auto a = com::Make<NotifyFolders>();
            auto b = com::Make<NotifyFolders>();
            first = a->Identity();
            second = b->Identity();
            EXPECT_NE(first, second);
            EXPECT_NE(0, first);
            EXPECT_TRUE(FindPointer(first));
            EXPECT_TRUE(FindPointer(second));
            com::ComPtr<_NotifyFolders> found = ObjectFromPointer(second);
            EXPECT_EQ(static_cast<_NotifyFolders*>(b.Get()), found.Get());
            found.Reset();
            a.Reset();
            EXPECT_FALSE(FindPointer(first));
            EXPECT_EQ(nullptr, ObjectFromPointer(first).Get());
        }
        EXPECT_FALSE(FindPointer(second));
        // A new collection gets a new identity, never a reused one.
        auto c = com::Make<NotifyFolders>();
        EXPECT_NE(first, c->Identity());
        EXPECT_NE(second, c->Identity());
    });
}
