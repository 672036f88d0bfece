// What tests use to drive the framework: the manual clock and its pump, seeded
// random, scripted mouse and keys, answers for modal windows and dialogs, caught
// web addresses, and windows rendered to pictures.
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

namespace fw {
class Window;
class Picture;
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
// Closes and destroys every window, forgets scripted input and answers.
void Reset();

// The pointer, in the content coordinates of whichever window asks.
void SetMouse(int x, int y);
std::optional<std::pair<int, int>> ScriptedMouse();
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
// The pointer the player sees over a place in the window (other platform pointers read
// as the standard one).
MouseCursor::Shape CursorAt(Window& w, int x, int y);
// Rests the pointer over a place in the window: the help tag that then shows, or empty.
std::string HelpTagAt(Window& w, int x, int y);
// Another window is modal over this one, so its input is blocked.
bool IsBlocked(const Window& w);
// Clicks a menu item by name as the player would (after the enabling pass); false when disabled.
bool ChooseMenu(std::string_view itemName);

void SetKey(int keyCode, bool down);
std::optional<bool> ScriptedKey(int keyCode);
void SetOptionKey(std::optional<bool> down);
std::optional<bool> ScriptedOptionKey();

// Called when a window shows modally; it may act and close the window. Without an
// answer, or when the window stays open, the clock runs until it closes.
void OnModal(std::function<void(Window&)> answer);
void RunModal(Window& w);
// Answers message dialogs; without an answer they return None. Every dialog is recorded.
void OnDialog(std::function<MessageDialog::Pressed(const MessageDialog&)> answer);
MessageDialog::Pressed AnswerDialog(const MessageDialog& d);
const std::vector<MessageDialog>& DialogsShown();

void RecordURL(std::string url);
const std::vector<std::string>& ShownURLs();
void RecordUnhandled(std::string what);
const std::vector<std::string>& UnhandledReports();

Ref<Picture> Render(Window& w);

// Called whenever a window first shows on screen.
void OnShown(std::function<void(Window&)> observer);
void NoteShown(Window& w);

// Where the application looks for its media, instead of beside the executable.
void SetResourcesFolder(std::optional<std::filesystem::path> folder);
std::optional<std::filesystem::path> ResourcesFolderOverride();

}  // namespace fw::test
