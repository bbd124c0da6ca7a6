// Message maps: one static table per class that routes a window message, or
// a control's notification, to a member function. A class's table names its
// base class's table; lookup walks from the most derived table to the base.
//
//   class CMyDlg : public CDialog { ... DECLARE_MESSAGE_MAP() };
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       MapMessage(WM_PAINT, &CMyDlg::OnPaint),
//       MapCommand(IDC_ADD, BN_CLICKED, &CMyDlg::OnAdd),
//   END_MESSAGE_MAP();
#pragma once

#include <windows.h>

#include <variant>

class CCmdTarget;

// The handler signatures in use.
using VoidHandler = void (CCmdTarget::*)();                    // commands, WM_PAINT
using SysCommandHandler = void (CCmdTarget::*)(UINT, LPARAM);  // WM_SYSCOMMAND
using QueryIconHandler = HCURSOR (CCmdTarget::*)();            // WM_QUERYDRAGICON

struct MessageMapEntry {
    UINT message;
    UINT controlId;   // WM_COMMAND only: the control or command id
    UINT notifyCode;  // WM_COMMAND only: the notification code
    std::variant<VoidHandler, SysCommandHandler, QueryIconHandler> handler;
};

struct MessageMap {
    const MessageMap* base;          // nullptr for the root
    const MessageMapEntry* entries;  // ended by an entry for message 0
};

// The entry that ends a table.
inline constexpr MessageMapEntry kMessageMapEnd{0, 0, 0, VoidHandler{}};

// In the class: its table and the override that returns it.
#define DECLARE_MESSAGE_MAP()                                                \
public:                                                                      \
    static const MessageMap messageMap;                                      \
    const MessageMap* GetMessageMap() const override { return &messageMap; } \
                                                                             \
private:                                                                     \
    static const MessageMapEntry messageEntries[];

// In the implementation: the entries between the two, the end with a
// semicolon after it.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                               \
    const MessageMap theClass::messageMap{&baseClass::messageMap, theClass::messageEntries}; \
    const MessageMapEntry theClass::messageEntries[] = {
#define END_MESSAGE_MAP() \
    kMessageMapEnd        \
    }

// A message without parameters for the handler (WM_PAINT).
template <class T>
constexpr MessageMapEntry MapMessage(UINT message, void (T::*handler)()) {
    return {message, 0, 0, static_cast<VoidHandler>(handler)};
}

// WM_COMMAND from control or command id with the given notification code.
template <class T>
constexpr MessageMapEntry MapCommand(UINT id, UINT notifyCode, void (T::*handler)()) {
    return {WM_COMMAND, id, notifyCode, static_cast<VoidHandler>(handler)};
}

template <class T>
constexpr MessageMapEntry MapSysCommand(void (T::*handler)(UINT, LPARAM)) {
    return {WM_SYSCOMMAND, 0, 0, static_cast<SysCommandHandler>(handler)};
}

template <class T>
constexpr MessageMapEntry MapQueryDragIcon(HCURSOR (T::*handler)()) {
    return {WM_QUERYDRAGICON, 0, 0, static_cast<QueryIconHandler>(handler)};
}
