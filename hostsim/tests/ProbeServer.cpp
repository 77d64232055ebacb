// The creatable classes of hostprobe.dll.
#include "ProbeAddin.h"
#include "ProbePage.h"
#include "ProbeRecorder.h"
#include "com/ComServer.h"

namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ComClass classes[] = {
        {&CLSID_ProbeAddin, L"corvaneHostProbe.Addin.1", L"corvaneHostProbe.Addin", L"Host probe add-in",
         &CreateInstance<ProbeAddin>},
        {&CLSID_FailingProbeAddin, L"corvaneHostProbe.FailingAddin.1", L"corvaneHostProbe.FailingAddin",
         L"Host probe add-in that fails to connect", &CreateInstance<ProbeAddin, true>},
        {&CLSID_ProbeRecorder, L"corvaneHostProbe.Recorder.1", L"corvaneHostProbe.Recorder", L"Host probe recorder",
         &CreateInstance<ProbeRecorder>},
        {&CLSID_ProbePage, L"corvaneHostProbe.Page.1", L"corvaneHostProbe.Page", L"Host probe page",
         &CreateInstance<ProbePage>},
    };
    return classes;
}

} // namespace com
