// The add-in's guard: a failure is logged with its own number and
// description, whatever error information the thread holds by then.
#include <gtest/gtest.h>

#include "AddinErrors.h"
#include "AddinTestSupport.h"
#include "com/ComError.h"

namespace {

// Leaves error information on the thread, as a failed call of another object would.
void LeaveErrorInfo(const wchar_t* description) { com::SetError(E_FAIL, description, L"Other", IID_NULL); }

} // namespace

TEST(AddinGuard, LogsEachFailureWithItsOwnDescription)
{
    addintest::LogWatch log;
    // A failure thrown with a description, while stale information waits.
    LeaveErrorInfo(L"stale text");
    RunReported("Probe::Thrown()", [] { throw com::ComError(E_ACCESSDENIED, L"own text"); });
    EXPECT_EQ(1u, log.Count("Source   : Probe::Thrown()\r\nCode     : -2147024891\r\nDescript.: own text\r\n"));

    // A failed call's description is taken when the call returns; what the
    // thread holds later does not replace it.
    RunReported("Probe::Checked()", [] {
        try {
            LeaveErrorInfo(L"the call's text");
            Check(E_FAIL);
        } catch (const com::ComError&) {
            LeaveErrorInfo(L"later text");
            throw;
        }
    });
    EXPECT_EQ(1u, log.Count("Source   : Probe::Checked()\r\nCode     : -2147467259\r\nDescript.: the call's text\r\n"));

    // Without a description of its own: the system's text for the code.
    LeaveErrorInfo(L"stale text");
    RunReported("Probe::Bare()", [] { throw com::ComError(E_OUTOFMEMORY); });
    RunReported("Probe::Memory()", [] { throw std::bad_alloc(); });
    const std::string memory = com::Narrow(com::DescribeError(E_OUTOFMEMORY));
    EXPECT_EQ(1u, log.Count("Source   : Probe::Bare()\r\nCode     : -2147024882\r\nDescript.: " + memory + "\r\n"));
    EXPECT_EQ(1u, log.Count("Source   : Probe::Memory()\r\nCode     : -2147024882\r\nDescript.: " + memory + "\r\n"));
    EXPECT_EQ(0u, log.Count("stale text"));

    // The steps that report nothing are skipped silently.
    RunSkipped([] { throw com::ComError(E_FAIL, L"quiet"); });
    EXPECT_EQ(4u, log.Records());
}
