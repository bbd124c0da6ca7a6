#include "ui/framework/CmdTarget.h"

#include "ui/framework/MessageBox.h"

namespace {
const MessageMapEntry kNoEntries[] = {kMessageMapEnd};
}

const MessageMap CCmdTarget::messageMap{nullptr, kNoEntries};

bool CCmdTarget::OnCmdMsg(UINT id, UINT notifyCode) {
    const MessageMapEntry* entry = FindEntry(WM_COMMAND, id, notifyCode);
    if (entry == nullptr) return false;
    RunHandler([&] { CallEntry(*entry, 0, 0); });
    return true;
}

const MessageMapEntry* CCmdTarget::FindEntry(UINT message, UINT id, UINT notifyCode) const {
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageMapEntry* entry = map->entries; entry->message != 0; ++entry) {
            if (entry->message != message) continue;
            if (message == WM_COMMAND && (entry->controlId != id || entry->notifyCode != notifyCode)) continue;
            return entry;
        }
    }
    return nullptr;
}

LRESULT CCmdTarget::CallEntry(const MessageMapEntry& entry, WPARAM wParam, LPARAM lParam) {
    if (const auto* handler = std::get_if<VoidHandler>(&entry.handler)) {
        (this->**handler)();
        return 0;
    }
    if (const auto* handler = std::get_if<SysCommandHandler>(&entry.handler)) {
        (this->**handler)(static_cast<UINT>(wParam), lParam);
        return 0;
    }
    const auto& handler = std::get<QueryIconHandler>(entry.handler);
    return reinterpret_cast<LRESULT>((this->*handler)());
}

bool CCmdTarget::RunHandler(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& failure) {
        ReportException(failure);
    }
    return false;
}

void CCmdTarget::ReportException(const std::exception& failure) { AfxMessageBox(failure.what()); }
