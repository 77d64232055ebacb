// The creatable classes of corvane.dll.
#include "Tarnwell.h"
#include "com/ComServer.h"

namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ComClass classes[] = {
        {&CLSID_Tarnwell, L"corvane.Tarnwell", nullptr, L"corvane.Tarnwell", &CreateInstance<Tarnwell>},
    };
    return classes;
}

} // namespace com
