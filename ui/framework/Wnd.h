// A window object attached to a system window, found by its handle (the
// handle map). Windows that an object created (dialogs) or took over
// (SubclassDlgItem) send their messages through the object's message map;
// what the map does not handle goes to the system's default processing.
#pragma once

#include <windows.h>

#include "ui/framework/CmdTarget.h"
#include "ui/framework/Window.h"

class CWnd : public CWindowT<CCmdTarget> {
public:
    CWnd() = default;
    // Gives a subclassed window back its own window procedure.
    ~CWnd() override;

    // The object attached to hWnd, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // The owner for a modal box: the given window, else the application's
    // main window, else the thread's active window; the last active popup
    // of that, so that a box opened from a box stays on top.
    static HWND GetSafeOwner(CWnd* parent);

    // Takes over the child control id of parent: from now on its messages,
    // and the owner-draw requests the parent receives for it, reach this
    // object.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

    // Runs a message through the message map: reflected owner-draw requests
    // first, then the map's entries. False when nothing handled it (or a
    // handler asked for Default), so the system's processing follows.
    bool WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Links hWnd to this object (FromHandlePermanent), without taking over
    // its messages, and unlinks it.
    void Attach(HWND hWnd);
    void Detach();

    // A request to draw or measure this control's items (WM_DRAWITEM,
    // WM_MEASUREITEM) that its parent passed on; false when not handled.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Inside a handler: leave this message to the system's processing.
    void Default() { useDefault_ = true; }

    // Handlers that leave the message to the system's processing; derived
    // classes call them for the cases they do not handle themselves.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The child of this window with the control id id when an object is
    // attached to it, else nullptr.
    HWND AttachedChild(UINT id) const;

    WNDPROC oldWndProc_ = nullptr;  // set while subclassed
    bool useDefault_ = false;
};
