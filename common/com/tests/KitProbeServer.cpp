#include "KitProbe.h"
#include "com/ComServer.h"

namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ComClass classes[] = {
        {&CLSID_KitProbe, L"corvaneKit.Probe.1", L"corvaneKit.Probe", L"KitProbe Class", &CreateInstance<KitProbe>},
    };
    return classes;
}

} // namespace com
