// Accessible names for the rows of a list box, given through the system's
// dynamic annotation (Active Accessibility): a screen reader hears the name
// in place of the row's text, which stays as it is. Where the system lacks
// the service (Wine has it in name only), the rows keep their text as name.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct IAccPropServices;

class RowNameAnnotation {
public:
    // nameOf(row) is row's name (rows from 0); the empty text keeps the
    // row's own.
    RowNameAnnotation(HWND list, std::function<std::string(int)> nameOf);
    // Takes the names off while the list still exists.
    ~RowNameAnnotation();
    RowNameAnnotation(const RowNameAnnotation&) = delete;
    RowNameAnnotation& operator=(const RowNameAnnotation&) = delete;

private:
    class Server;

    HWND list_;
    bool comStarted_ = false;
    IAccPropServices* services_ = nullptr;
    Server* server_ = nullptr;
};
