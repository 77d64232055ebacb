// NameSpace: the "MAPI" namespace. Finds folders by identifier and raises
// OptionsPagesAdd when a folder's Properties dialog opens.
#pragma once

#include <memory>

#include "com/ComObject.h"
#include "com/ConnectionPoint.h"
#include "outlook.h"

namespace outlooksim {

class Folder;
class Session;

class NameSpace final : public com::ComObject<NameSpace, _NameSpace, ISupportErrorInfo, com::ConnectionPointContainer> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    explicit NameSpace(std::shared_ptr<Session> session);

    HRESULT STDMETHODCALLTYPE GetDefaultFolder(OlDefaultFolders FolderType, MAPIFolder** value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetFolderFromID(BSTR EntryIDFolder, VARIANT EntryIDStore,
                                              MAPIFolder** value) noexcept override;

    // Raises OptionsPagesAdd(Pages, Folder); returns the number of subscribers.
    int RaiseOptionsPagesAdd(IDispatch* pages, Folder* folder) noexcept;
    int SubscriberCount() noexcept;

  private:
    std::shared_ptr<Session> m_session;
};

} // namespace outlooksim
