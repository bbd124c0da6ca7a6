#include "ui/framework/WinApp.h"

#include <array>

#include "platform/Process.h"

namespace {

CWinApp* theApplication = nullptr;

}  // namespace

CWinApp::CWinApp(const char* appName) : m_strAppName(appName != nullptr ? appName : ModuleBaseName()) {
    theApplication = this;
}

CWinApp::~CWinApp() {
    if (theApplication == this) theApplication = nullptr;
}

CWinApp* AfxGetApp() { return theApplication; }

CWnd* AfxGetMainWnd() { return theApplication != nullptr ? theApplication->m_pMainWnd : nullptr; }

std::string AfxGetAppName() { return theApplication != nullptr ? theApplication->m_strAppName : ModuleBaseName(); }

HINSTANCE AfxGetResourceHandle() { return ::GetModuleHandleA(nullptr); }

std::string ModuleBaseName() {
    std::string name = platform::ExecutablePath();
    if (const auto slash = name.find_last_of("\\/:"); slash != std::string::npos) name.erase(0, slash + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

std::string LoadResourceString(UINT id) {
    std::array<char, 256> text{};
    const int length = ::LoadStringA(AfxGetResourceHandle(), id, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}
