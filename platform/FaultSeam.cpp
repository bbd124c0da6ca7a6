#include "platform/FaultSeam.h"

namespace platform {

namespace {
CallHook g_hook = nullptr;
void* g_context = nullptr;
}  // namespace

void SetCallHook(CallHook hook, void* context) {
    g_hook = hook;
    g_context = context;
}

Outcome BeforeCall(Call call, std::string_view path, std::string_view target) {
    return g_hook == nullptr ? Outcome::Done : g_hook(call, path, target, g_context);
}

}  // namespace platform
