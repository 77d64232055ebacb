#include "ItemCountWatch.h"

#include <string>

#include "com/ComError.h"
#include "com/LateBound.h"

namespace {

// The call's failure, with the description Outlook gave.
void ThrowFailed(HRESULT hr, const std::wstring& description)
{
    if (FAILED(hr))
        throw com::ComError(hr, description.empty() ? com::DescribeError(hr) : description);
}

} // namespace

long ItemCountWatch::Count(IDispatch* olItems)
{
    com::Variant count;
    std::wstring description;
    ThrowFailed(com::GetProperty(olItems, L"Count", &count, {}, &description), description);
    return count.ToLong(0);
}

void ItemCountWatch::Start(IDispatch* olItems)
{
    m_bRunning = false;
    m_dwLastCheck = ::GetTickCount();
    m_lKnownCount = Count(olItems);
    m_bRunning = true;
}

bool ItemCountWatch::Due(DWORD dwNow, DWORD dwInterval) const noexcept
{
    return m_bRunning && dwNow - m_dwLastCheck >= dwInterval; // unsigned: right across the count's wrap
}

std::vector<com::ComPtr<IDispatch>> ItemCountWatch::Compare(IDispatch* olItems, long lAnnounced)
{
    if (!m_bRunning)
        return {};
    m_dwLastCheck = ::GetTickCount();
    try {
        const long lCount = Count(olItems);
        const long lMissed = lCount - m_lKnownCount - lAnnounced;
        m_lKnownCount = lCount;
        if (lMissed <= 0)
            return {};
        std::wstring description;
        ThrowFailed(com::CallMethod(olItems, L"Sort", {com::Variant(L"[ReceivedTime]"), com::Variant(true)}, nullptr,
                                    &description),
                    description);
        std::vector<com::ComPtr<IDispatch>> missed;
        for (long lIndex = lAnnounced + lMissed; lIndex > lAnnounced; --lIndex) {
            com::Variant item;
            ThrowFailed(com::CallMethod(olItems, L"Item", {com::Variant(lIndex)}, &item, &description), description);
            if (com::ComPtr<IDispatch> object = item.ToDispatch())
                missed.push_back(object);
        }
        return missed;
    } catch (...) {
        m_bRunning = false;
        throw;
    }
}
