#include "MessageDialog.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "internal/Platform.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"
#include "internal/Windows.h"

namespace fw {

namespace {
// Without a title of its own a box would show the executable's name.
constexpr std::string_view kGameName = "Zembo";
}  // namespace

MessageDialog::Pressed MessageDialog::ShowModal() {
  windows::ModalLoop loop;
  return platform::Current().RunDialog(*this);
}

MessageDialog::Pressed platform::RunMessageBox(const MessageDialog& d) {
  using Pressed = MessageDialog::Pressed;
  // Transient for the window it was asked from, so the window manager keeps it above.
  Window* asker = windows::Front();
  QPointer<QMessageBox> owned = new QMessageBox(asker ? ContentWidget(*asker)->window() : nullptr);
  QMessageBox& box = *owned;
  box.setWindowTitle(ToQ(d.Title.empty() ? kGameName : d.Title));
  box.setText(ToQ(d.Message));
  box.setInformativeText(ToQ(d.Explanation));
  box.setIcon(d.Icon == 0 ? QMessageBox::Information : d.Icon == 1 ? QMessageBox::Warning
              : d.Icon == 2                                       ? QMessageBox::Critical
                                                                : QMessageBox::NoIcon);
  QPushButton* action = nullptr;
  QPushButton* alternate = nullptr;
  QPushButton* cancel = nullptr;
  if (d.CancelButton.Visible) cancel = box.addButton(ToQ(d.CancelButton.Caption), QMessageBox::RejectRole);
  if (d.AlternateActionButton.Visible)
    alternate = box.addButton(ToQ(d.AlternateActionButton.Caption), QMessageBox::DestructiveRole);
  if (d.ActionButton.Visible) action = box.addButton(ToQ(d.ActionButton.Caption), QMessageBox::AcceptRole);
  if (action && d.ActionButton.Default) box.setDefaultButton(action);
  if (cancel) box.setEscapeButton(cancel);
  box.exec();
  // The asker's frame owns the box too; should it be gone by now, so is the box.
  if (!owned) return Pressed::None;
  auto* clicked = box.clickedButton();
  Pressed pressed = !clicked              ? Pressed::None
                    : clicked == action    ? Pressed::Action
                    : clicked == alternate ? Pressed::Alternate
                    : clicked == cancel    ? Pressed::Cancel
                                           : Pressed::None;
  delete owned.data();
  return pressed;
}

void MsgBox(std::string_view text) {
  MessageDialog d;
  d.Message = text;
  d.Icon = -1;
  d.ShowModal();
}

}  // namespace fw
