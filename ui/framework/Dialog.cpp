#include "ui/framework/Dialog.h"

#include <cstring>
#include <string>

#include "ui/framework/DataExchange.h"
#include "ui/framework/WinApp.h"

namespace {

// Resource type of dialog initialisation data, and the 16-bit message
// numbers its records use for adding rows.
constexpr WORD kDialogInitResourceType = 240;
constexpr WORD kListAddString16 = 0x0401;
constexpr WORD kComboAddString16 = 0x0403;

// Posted by a DPI change to itself, so that OnDpiChanged runs after the
// system's processing of WM_DPICHANGED has scaled the dialog.
constexpr UINT kDpiChangedAfterScaling = WM_APP + 0x3F00;

// Messages whose result a dialog procedure returns itself instead of
// through DWLP_MSGRESULT; and the requests to draw and measure an item,
// whose result their sender ignores: storing it would cost a round trip to
// Wine's server for each row an owner-drawn list adds or draws.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CDialog, CWnd)
    MapCommand(IDOK, BN_CLICKED, &CDialog::OnOK),
    MapCommand(IDCANCEL, BN_CLICKED, &CDialog::OnCancel),
    MapMessage(WM_HELP, &CDialog::OnHelpRequest),
END_MESSAGE_MAP();
// clang-format on

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal() {
    modal_ = true;
    const INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId_),
        GetSafeOwner(parent_), &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

BOOL CDialog::Create(CWnd* parent) {
    modal_ = false;
    modelessResult_ = 0;
    const HWND owner = parent != nullptr ? parent->m_hWnd : (parent_ != nullptr ? parent_->m_hWnd : nullptr);
    return ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId_), owner, &CDialog::DialogProc,
               reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (modal_) {
        ::EndDialog(m_hWnd, result);
        return;
    }
    modelessResult_ = result;
    DestroyWindow();
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    ExecuteDlgInit();
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnHelpRequest() {
    // F1: the standard help command, which the application handles.
    if (CWinApp* app = AfxGetApp()) app->OnCmdMsg(ID_HELP, 0);
}

// Records of the initialisation data: control id (WORD), message (WORD),
// data length (DWORD), data; a control id of 0 ends the list. Records are
// packed, so their fields are read byte-wise.
void CDialog::ExecuteDlgInit() {
    const HINSTANCE module = AfxGetResourceHandle();
    const HRSRC resource =
        ::FindResourceA(module, MAKEINTRESOURCEA(templateId_), MAKEINTRESOURCEA(kDialogInitResourceType));
    if (resource == nullptr) return;
    const HGLOBAL loaded = ::LoadResource(module, resource);
    const auto* data = static_cast<const unsigned char*>(::LockResource(loaded));
    const DWORD size = ::SizeofResource(module, resource);
    if (data == nullptr) return;

    constexpr DWORD kRecordHead = 2 * sizeof(WORD) + sizeof(DWORD);
    DWORD position = 0;
    while (position + sizeof(WORD) <= size) {
        WORD controlId = 0;
        std::memcpy(&controlId, data + position, sizeof controlId);
        if (controlId == 0 || position + kRecordHead > size) break;
        WORD message = 0;
        DWORD length = 0;
        std::memcpy(&message, data + position + sizeof(WORD), sizeof message);
        std::memcpy(&length, data + position + 2 * sizeof(WORD), sizeof length);
        position += kRecordHead;
        if (length > size - position) break;
        const std::string text(reinterpret_cast<const char*>(data + position),
            ::strnlen(reinterpret_cast<const char*>(data + position), length));
        position += length;

        UINT addMessage = 0;
        if (message == kComboAddString16)
            addMessage = CB_ADDSTRING;
        else if (message == kListAddString16)
            addMessage = LB_ADDSTRING;
        if (addMessage != 0)
            ::SendDlgItemMessageA(m_hWnd, controlId, addMessage, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(hWnd);
        BOOL focusDefault = TRUE;
        dialog->RunHandler([&] { focusDefault = dialog->OnInitDialog(); });
        return focusDefault;
    }
    CDialog* dialog = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (dialog == nullptr) return FALSE;  // messages before WM_INITDIALOG: the system's processing
    if (message == WM_NCDESTROY) {
        dialog->Detach();
        return FALSE;
    }
    return dialog->HandleMessage(message, wParam, lParam);
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DPICHANGED) {
        ::PostMessageA(m_hWnd, kDpiChangedAfterScaling, LOWORD(wParam), 0);
        return FALSE;
    }
    if (message == kDpiChangedAfterScaling) {
        RunHandler([&] { OnDpiChanged(static_cast<UINT>(wParam)); });
        return TRUE;
    }
    LRESULT result = 0;
    bool handled = WindowProc(message, wParam, lParam, result);
    if (!handled && message == WM_COMMAND) {
        // Commands the dialog does not handle go to the application.
        if (CWinApp* app = AfxGetApp()) handled = app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
    }
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    if (m_hWnd != nullptr) ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
