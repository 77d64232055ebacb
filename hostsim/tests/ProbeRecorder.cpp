#include "ProbeRecorder.h"

#include "ProbeLog.h"

HRESULT ProbeRecorder::get_Calls(BSTR* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        std::wstring all;
        for (const auto& line : probe::Recorded())
            all += line + L"\n";
        *value = com::Bstr(all).release();
        return S_OK;
    });
}

HRESULT ProbeRecorder::ClearCalls() noexcept
{
    probe::ClearRecorded();
    return S_OK;
}
