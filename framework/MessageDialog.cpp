#include "MessageDialog.h"

#include <QMessageBox>
#include <QPushButton>

#include "internal/Platform.h"
#include "internal/QtBridge.h"

namespace fw {

MessageDialog::Pressed MessageDialog::ShowModal() { return platform::Current().RunDialog(*this); }

MessageDialog::Pressed platform::RunMessageBox(const MessageDialog& d) {
  using Pressed = MessageDialog::Pressed;
  QMessageBox box;
  box.setWindowTitle(ToQ(d.Title));
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
  auto* clicked = box.clickedButton();
  if (clicked && clicked == action) return Pressed::Action;
  if (clicked && clicked == alternate) return Pressed::Alternate;
  if (clicked && clicked == cancel) return Pressed::Cancel;
  return Pressed::None;
}

void MsgBox(std::string_view text) {
  MessageDialog d;
  d.Message = text;
  d.Icon = -1;
  d.ShowModal();
}

}  // namespace fw
