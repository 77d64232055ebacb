#include "DialogTemplate.h"

namespace outlooksim {

DialogTemplate::DialogTemplate(short width, short height)
{
    const DWORD style = DS_SETFONT | DS_CONTROL | DS_3DLOOK | WS_CHILD;
    m_words = {LOWORD(style),
               HIWORD(style),
               0,
               0, // style, extended style
               0, // no controls
               0,
               0,
               static_cast<WORD>(width),
               static_cast<WORD>(height),
               0,
               0}; // no menu, the default class
    Text(L"");     // no caption
    m_words.push_back(8);
    Text(L"MS Shell Dlg");
}

void DialogTemplate::Text(const wchar_t* text)
{
    do
        m_words.push_back(static_cast<WORD>(*text));
    while (*text++);
}

} // namespace outlooksim
