// What tests use to drive the framework headless: the manual clock and its pump,
// seeded random, scripted mouse and keys, answers for modal windows and dialogs,
// caught web addresses and failure reports, windows rendered to pictures, and
// network requests sent to local servers.
// Built into the zembo_headless library, which the game does not link.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Application.h"
#include "MessageDialog.h"
#include "Ref.h"
#include "Values.h"

namespace fw {
class Window;
class Picture;
class MenuItem;
}

namespace fw::test {

// Offscreen platform, manual clock at 0, Random seeded with seed. Call first, once per process.
void StartHeadless(std::uint32_t seed = 1);
// Destroys every window and the platform; call last.
void StopHeadless();
// As RunApplication, without blocking: runs startup, raises the application's
// Open and opens the windows made so far.
void Boot(const std::function<void()>& startup);
// Moves the manual clock forward, firing timers, thread turns and events in time order.
void Advance(std::int64_t ms);
void AdvanceUs(std::int64_t us);
// Advances in steps until pred holds; false if limitMs passed first.
bool RunUntil(const std::function<bool()>& pred, std::int64_t limitMs);
// The framework as StartHeadless left it: every window destroyed, the clock at 0,
// Random seeded again, today the system's, no key held, no application-wide pointer,
// scripted input, answers and records forgotten.
void Reset();

// The pointer, in the content coordinates of whichever window asks.
void SetMouse(int x, int y);
void PressMouse(Window& w, int x, int y);
void MoveMouse(Window& w, int x, int y);
void ReleaseMouse(Window& w, int x, int y);
// Clicks the window's close box.
void ClickCloseBox(Window& w);
// Resizes the window's content by dragging its frame, as the player would.
void DragSize(Window& w, int width, int height);
// Types a key as the player would: to the control that has the keyboard focus, else to
// the window. A key is its text, or "\r" Return, "\x03" Enter, "\x1b" Escape, "\x08"
// Backspace, "\t" Tab.
void TypeKey(Window& w, std::string_view key);
// Types a key with modifiers held, given as a menu shortcut is ("Cmd+Q", "Option+N"):
// the shortcuts see it first, and only a chord that none of them takes reaches the
// control that has the keyboard focus, else the window.
void TypeChord(Window& w, std::string_view chord);
// The pointer the player sees over a place in the window (other platform pointers read
// as the standard one).
MouseCursor::Shape CursorAt(Window& w, int x, int y);
// Rests the pointer over a place in the window: the help tag that then shows, or empty.
std::string HelpTagAt(Window& w, int x, int y);
// Another window is modal over this one, so its input is blocked.
bool IsBlocked(const Window& w);
// Clicks a menu item by name as the player would (after the enabling pass); false when disabled.
bool ChooseMenu(std::string_view itemName);
// Opens or closes a menu (a menu title or a submenu, by name) as the platform does when
// the player clicks it, the mouse then held by it; false when the player cannot reach it.
bool ShowMenu(std::string_view menuName, bool shown);

// How the platform's menu draws an item's mark: none, an empty box, or a tick.
enum class MenuMark { None, Empty, Ticked };
MenuMark MenuMarkOf(const MenuItem& item);

// Key state as AsyncKeyDown reads it, by the classic key codes.
void SetKey(int keyCode, bool down);
void SetOptionKey(std::optional<bool> down);
// A real key press or release in w, as the platform delivers it.
void PressKey(Window& w, int keyCode);
void ReleaseKey(Window& w, int keyCode);
// A real key press or release in w at a place of the keyboard: scanCode is the
// platform's own code for that key (on X11 its keycode), text what the key types
// under the player's layout.
void PressKeyAt(Window& w, int scanCode, std::string_view text);
void ReleaseKeyAt(Window& w, int scanCode, std::string_view text);
// Another application takes the focus.
void FocusOtherApplication();

// Called when a window shows modally; it must close the window (running the
// clock if it likes). A modal window with no answer, or one the answer left
// open, is closed at once and recorded as unanswered.
void OnModal(std::function<void(Window&)> answer);
// Answers message dialogs. Every dialog is recorded; one shown with no answer
// returns None and is recorded as unanswered.
void OnDialog(std::function<MessageDialog::Pressed(const MessageDialog&)> answer);
const std::vector<MessageDialog>& DialogsShown();
// Until Reset, message dialogs show as the real platform shows them, each in its own
// event loop, and the answer presses one of the box's buttons once it is on screen.
void UseRealDialogs();
struct RealBox {
  std::string title;              // the title the box was given
  const Window* above = nullptr;  // the window the box is transient for, if any
};
const std::vector<RealBox>& RealBoxesShown();
// What went unanswered, each naming the window or dialog; Take empties the list.
const std::vector<std::string>& Unanswered();
std::vector<std::string> TakeUnanswered();

const std::vector<std::string>& ShownURLs();
// Exceptions that escaped a handler; each also shows the alert among DialogsShown.
const std::vector<std::string>& UnhandledReports();
std::vector<std::string> TakeUnhandledReports();

Ref<Picture> Render(Window& w);

// A rectangle on screen, in pixels.
struct ScreenBox {
  int left = 0, top = 0, width = 0, height = 0;
};
// The main screen's area free for windows, and the place of a window's frame, title bar included.
ScreenBox FreeScreenArea();
ScreenBox FrameOnScreen(const Window& w);

// Called whenever a window first shows on screen.
void OnShown(std::function<void(Window&)> observer);

// Where the application looks for its media, instead of beside the executable.
void SetResourcesFolder(std::optional<std::filesystem::path> folder);

// Date::Today answers this day, and every short date then takes one form whatever the
// locale (month/day/two-digit year, "12/9/26"); none gives the system's day and form back.
void FixToday(std::optional<Date> today);
// How many files the framework has written so far, each committed whole.
std::uint64_t FilesWritten();

}  // namespace fw::test

namespace fw::http_hooks {
// Requests to host (a name with an optional ":port", port 80 when none) go to
// 127.0.0.1 at localPort instead. The address the handlers see is unchanged.
void RouteToLocal(std::string_view host, int localPort);
// Requests to host go to targetHost at targetPort instead (a name that does not
// resolve, say).
void RouteTo(std::string_view host, std::string_view targetHost, int targetPort);
// Every request goes where it was asked to again; fw::test::Reset does this too.
void ClearRoutes();
}  // namespace fw::http_hooks
