// SPDX-License-Identifier: GPL-3.0-or-later
// Window messages between threads: every thread has its own message queue, a window
// belongs to the thread that created it, and any thread may post or send to it. The owning
// thread drains its queue with PeekMessage/DispatchMessage (the CLI and tests from a plain
// loop, the GUI from its event loop). Handles are numbers, never pointers, so a message
// for a destroyed window is dropped instead of reaching freed memory.
#pragma once

#include <cstdint>
#include <functional>

#include "base/message_pump.h"

namespace vantrel::window {

using HWND = std::uintptr_t;  // 0 is "no window"
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;
inline constexpr UINT PBM_SETPOS = WM_USER + 2;

inline constexpr UINT PM_NOREMOVE = 0;
inline constexpr UINT PM_REMOVE = 1;

struct MSG {
  HWND hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

using WindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// A hidden window owned by the calling thread; its procedure runs on that thread only.
HWND CreateNotifyWindow(WindowProc proc);
// Only the owning thread destroys a window; pending messages for it are dropped.
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);

// Queues the message for the window's thread; false when the window does not exist.
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the window procedure and returns its result. From another thread the call waits
// for the owning thread to dispatch it, and meanwhile dispatches messages sent to the
// caller's own windows, so two threads sending to each other do not deadlock.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Posts a message with no window to the calling thread's own queue.
void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);

// Takes (PM_REMOVE) or looks at the first pending message of the calling thread; due
// timers come out as WM_TIMER. False when there is none.
bool PeekMessage(MSG& msg, UINT removeFlag);
// Blocks until a message is pending or `timeoutMs` passed (negative: no limit).
bool WaitMessage(int timeoutMs);
void TranslateMessage(const MSG& msg);
LRESULT DispatchMessage(const MSG& msg);
// Peeks, translates and dispatches everything pending on the calling thread.
void PumpPendingMessages();
// Makes PumpPendingMessages the calling thread's message pump of base/message_pump.h,
// which the long waits of the program (shell commands, conversions) call. Inline so the
// pump lands in the caller's own copy of the base library.
inline void InstallMessagePump() { SetMessagePump(&PumpPendingMessages); }

// A repeating timer of the window: WM_TIMER with wParam = id every `intervalMs`.
// Setting an existing id restarts it.
bool SetTimer(HWND hwnd, std::uintptr_t id, unsigned intervalMs);
bool KillTimer(HWND hwnd, std::uintptr_t id);

}  // namespace vantrel::window
