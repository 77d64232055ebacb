// An in-memory dialog template for a property sheet page: an empty child
// dialog of the given size in dialog units; the page creates its controls.
#pragma once

#include <windows.h>

#include <vector>

namespace outlooksim {

class DialogTemplate {
  public:
    DialogTemplate(short width, short height);
    const DLGTEMPLATE* Get() const noexcept { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

  private:
    void Text(const wchar_t* text);

    std::vector<WORD> m_words;
};

} // namespace outlooksim
