// The fault seam: a hook that every file service asks before it does its
// work, so that a test can fail a chosen call with a chosen outcome, or act
// just before it (change the folders behind the operation's back). The
// services ask it in FileSystem.cpp, before either system's calls, so one
// fault table runs against both. The program never sets a hook; then each
// service pays one test of a pointer.
#pragma once

#include <string_view>

#include "platform/FileSystem.h"

namespace platform {

// Returns Done to let the call go ahead, or the outcome it fails with.
// path is the file or pattern the call names, empty for calls on an open
// file; target is a copy's or move's new name.
using CallHook = Outcome (*)(Call call, std::string_view path, std::string_view target, void* context);

// Sets the hook (nullptr: none) and the context it is given.
void SetCallHook(CallHook hook, void* context);

// What each file service asks first; Done when no hook is set.
Outcome BeforeCall(Call call, std::string_view path, std::string_view target = {});

}  // namespace platform
