// The creatable class of corvaneProps.dll: the page control.
#include "com/ComServer.h"
#include "zarqPropMain.h"

namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ControlRegistration control{zarqPropMain::kMiscStatus, L"1.0"};
    static const ComClass classes[] = {
        {&CLSID_zarqPropMain, L"corvaneProps.zarqPropMain", nullptr, L"corvaneProps.zarqPropMain",
         &CreateInstance<zarqPropMain>, &control},
    };
    return classes;
}

} // namespace com
