// The creatable class of ZarqNotifier.dll.
#include "ZarqPlugin.h"
#include "com/ComServer.h"

namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ComClass classes[] = {
        {&CLSID_ZarqPlugin, L"ZarqNotifier.ZarqPlugin", nullptr, L"ZarqNotifier.ZarqPlugin",
         &CreateInstance<ZarqPlugin>},
    };
    return classes;
}

} // namespace com
