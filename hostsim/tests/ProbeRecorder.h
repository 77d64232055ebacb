// Reads and clears what the probe's objects have recorded; a test holds one
// for as long as it checks the record, also after the add-in is released.
#pragma once

#include "com/ComObject.h"
#include "hostprobe.h"

class ProbeRecorder final : public com::ComObject<ProbeRecorder, IProbeRecorder, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvaneHostProbe.Recorder"; }

    HRESULT STDMETHODCALLTYPE get_Calls(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE ClearCalls() noexcept override;
};
