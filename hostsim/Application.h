// Application: the root of the object model that the add-in receives in
// OnConnection.
#pragma once

#include <memory>

#include "com/ComObject.h"
#include "outlook.h"

namespace outlooksim {

class Session;

class Application final : public com::ComObject<Application, _Application, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    explicit Application(std::shared_ptr<Session> session) : m_session(std::move(session)) {}

    HRESULT STDMETHODCALLTYPE ActiveExplorer(_Explorer** value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetNamespace(BSTR Type, _NameSpace** value) noexcept override;

  private:
    std::shared_ptr<Session> m_session;
};

} // namespace outlooksim
