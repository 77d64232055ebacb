// A post item as delivered to a folder.
#pragma once

#include "MessageItem.h"
#include "outlook.h"

namespace outlooksim {

class PostItem final : public MessageItem<PostItem, _PostItem> {
  public:
    static constexpr const wchar_t* kClassName = L"PostItem";

    PostItem(std::shared_ptr<Session> session, std::shared_ptr<ItemData> data)
        : MessageItem(std::move(session), std::move(data))
    {
    }
};

} // namespace outlooksim
