// What mail and post items have in common: Subject, SenderName and
// ReceivedTime under the same dispatch identifiers. MailItem and PostItem
// are this template over their own interface.
#pragma once

#include <memory>
#include <string>

#include "ItemData.h"
#include "Session.h"
#include "com/ComObject.h"

namespace outlooksim {

// "dd.mm.yyyy hh:mm" for trace lines.
std::wstring FormatDate(DATE date);

template <class Derived, class Interface>
class MessageItem : public com::ComObject<Derived, Interface, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    HRESULT STDMETHODCALLTYPE get_ReceivedTime(DATE* value) noexcept override
    {
        return this->Guard([&] {
            if (!value)
                return E_POINTER;
            *value = m_data->received;
            Note(L"ReceivedTime -> " + FormatDate(m_data->received));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_SenderName(BSTR* value) noexcept override
    {
        return this->Guard([&] {
            if (!value)
                return E_POINTER;
            *value = com::Bstr(m_data->sender).release();
            Note(L"SenderName -> " + Trace::Quoted(m_data->sender));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Subject(BSTR* value) noexcept override
    {
        return this->Guard([&] {
            if (!value)
                return E_POINTER;
            *value = com::Bstr(m_data->subject).release();
            Note(L"Subject -> " + Trace::Quoted(m_data->subject));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE put_Subject(BSTR value) noexcept override
    {
        return this->Guard([&] {
            m_data->subject = com::Bstr(value).str();
            Note(L"Subject = " + Trace::Quoted(m_data->subject));
            m_session->Changed();
            return S_OK;
        });
    }

    const std::shared_ptr<ItemData>& Data() const noexcept { return m_data; }

  protected:
    MessageItem(std::shared_ptr<Session> session, std::shared_ptr<ItemData> data)
        : m_session(std::move(session)), m_data(std::move(data))
    {
    }

  private:
    void Note(const std::wstring& text) const
    {
        m_session->GetTrace().Outlook(std::wstring(Derived::kClassName) + L"." + text);
    }

    std::shared_ptr<Session> m_session;
    std::shared_ptr<ItemData> m_data;
};

} // namespace outlooksim
