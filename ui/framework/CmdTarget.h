// The root of every class that receives messages or commands through a
// message map: windows, dialogs and the application.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

#include "ui/framework/MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    virtual const MessageMap* GetMessageMap() const { return &messageMap; }

    // Runs the map's handler for a WM_COMMAND; false when the map has none.
    bool OnCmdMsg(UINT id, UINT notifyCode);

    static const MessageMap messageMap;

protected:
    // The first entry, most derived class first, for message (and, for
    // WM_COMMAND, id and notification code); nullptr when there is none.
    const MessageMapEntry* FindEntry(UINT message, UINT id, UINT notifyCode) const;

    // Calls an entry's handler with the message's parameters and returns
    // the handler's result.
    LRESULT CallEntry(const MessageMapEntry& entry, WPARAM wParam, LPARAM lParam);

    // Runs one handler. No exception may leave it, because the system's
    // code that called the window procedure cannot pass it on: one that
    // ends the handler goes to ReportException, and the program goes on with
    // the next message. False when the handler was abandoned.
    bool RunHandler(const std::function<void()>& handler);

    // Shows an exception that ended a handler: its text in a message box.
    virtual void ReportException(const std::exception& failure);
};
