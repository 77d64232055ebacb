// A mail item as delivered to a folder.
#pragma once

#include "MessageItem.h"
#include "outlook.h"

namespace outlooksim {

class MailItem final : public MessageItem<MailItem, _MailItem> {
  public:
    static constexpr const wchar_t* kClassName = L"MailItem";

    MailItem(std::shared_ptr<Session> session, std::shared_ptr<ItemData> data)
        : MessageItem(std::move(session), std::move(data))
    {
    }
};

} // namespace outlooksim
