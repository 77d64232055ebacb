// The creatable classes of corvane.dll.
#include "NotifyFolders.h"
#include "Tarnwell.h"
#include "ZarqPlugin.h"
#include "com/ComServer.h"

namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ComClass classes[] = {
        {&CLSID_Tarnwell, L"corvane.Tarnwell", nullptr, L"corvane.Tarnwell", &CreateInstance<Tarnwell>},
        {&CLSID_NotifyFolders, L"corvane.NotifyFolders", nullptr, L"corvane.NotifyFolders",
         &CreateInstance<NotifyFolders>},
        {&CLSID_CorvaneZarqPlugin, L"corvane.ZarqPlugin", nullptr, L"corvane.ZarqPlugin", &CreateInstance<ZarqPlugin>},
    };
    return classes;
}

} // namespace com
