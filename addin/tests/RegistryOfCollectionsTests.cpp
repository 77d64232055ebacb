// The live-collection registry: identities in ascending order, present
// exactly while their collection exists. Each test runs on a thread of its
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

using Array = std::vector<int32_t>;

} // namespace

TEST(modValidatePointer, KeepsIdentitiesInAscendingOrder)
{
    OnFreshThread([] {
        using namespace modValidatePointer;
        EXPECT_TRUE(Contents().empty());
        EXPECT_EQ(-1, FindPointer(30));
        AddPointer(30);
        AddPointer(10);
        AddPointer(20);
        EXPECT_EQ((Array{10, 20, 30}), Contents());
        EXPECT_EQ(0, FindPointer(10));
        EXPECT_EQ(2, FindPointer(30));
        AddPointer(20); // present already: not added twice
        AddPointer(25);
        AddPointer(5);
        AddPointer(40);
        EXPECT_EQ((Array{5, 10, 20, 25, 30, 40}), Contents());
        RemovePointer(99); // absent: nothing happens
        RemovePointer(5);
        RemovePointer(40);
        RemovePointer(20);
        EXPECT_EQ((Array{10, 25, 30}), Contents());
    });
}

TEST(modValidatePointer, EmptiesToOneSlotHoldingZeroAndReusesIt)
{
    OnFreshThread([] {
        using namespace modValidatePointer;
        AddPointer(30);
        AddPointer(10);
        AddPointer(20);
        RemovePointer(10);
        RemovePointer(30);
        RemovePointer(20);
        EXPECT_EQ((Array{0}), Contents());
        AddPointer(5);
        EXPECT_EQ((Array{5}), Contents());
        AddPointer(7);
        EXPECT_EQ((Array{5, 7}), Contents());
    });
}

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
            EXPECT_GE(FindPointer(first), 0);
            EXPECT_GE(FindPointer(second), 0);
            com::ComPtr<_NotifyFolders> found = ObjectFromPointer(second);
            EXPECT_EQ(static_cast<_NotifyFolders*>(b.Get()), found.Get());
            found.Reset();
            a.Reset();
            EXPECT_EQ(-1, FindPointer(first));
            EXPECT_EQ(nullptr, ObjectFromPointer(first).Get());
        }
        EXPECT_EQ(-1, FindPointer(second));
        EXPECT_EQ((Array{0}), Contents());
        // A new collection gets a new identity, never a reused one.
        auto c = com::Make<NotifyFolders>();
        EXPECT_NE(first, c->Identity());
        EXPECT_NE(second, c->Identity());
    });
}
