// Application: the root of the object model that the add-in receives in
// OnConnection, and the source of ApplicationEvents (Quit).
#pragma once

#include <memory>

#include "com/ComObject.h"
#include "com/ConnectionPoint.h"
#include "outlook.h"

namespace outlooksim {

class Session;

class Application final
    : public com::ComObject<Application, _Application, ISupportErrorInfo, com::ConnectionPointContainer> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    explicit Application(std::shared_ptr<Session> session);

    HRESULT STDMETHODCALLTYPE ActiveExplorer(_Explorer** value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetNamespace(BSTR Type, _NameSpace** value) noexcept override;

    // Quit on every subscriber; returns their number.
    int RaiseQuit() noexcept;
    int SubscriberCount() const noexcept;

  private:
    std::shared_ptr<Session> m_session;
};

} // namespace outlooksim
