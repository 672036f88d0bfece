#include "MessageDialog.h"

#include <QMessageBox>
#include <QPushButton>

#include "Clock.h"
#include "TestHooks.h"
#include "internal/QtBridge.h"

namespace fw {

MessageDialog::Pressed MessageDialog::ShowModal() {
  if (clock_hooks::IsManual()) return test::AnswerDialog(*this);
  QMessageBox box;
  box.setWindowTitle(ToQ(Title));
  box.setText(ToQ(Message));
  box.setInformativeText(ToQ(Explanation));
  box.setIcon(Icon == 0 ? QMessageBox::Information : Icon == 1 ? QMessageBox::Warning
              : Icon == 2                                       ? QMessageBox::Critical
                                                                : QMessageBox::NoIcon);
  QPushButton* action = nullptr;
  QPushButton* alternate = nullptr;
  QPushButton* cancel = nullptr;
  if (CancelButton.Visible) cancel = box.addButton(ToQ(CancelButton.Caption), QMessageBox::RejectRole);
  if (AlternateActionButton.Visible)
    alternate = box.addButton(ToQ(AlternateActionButton.Caption), QMessageBox::DestructiveRole);
  if (ActionButton.Visible) action = box.addButton(ToQ(ActionButton.Caption), QMessageBox::AcceptRole);
  if (action && ActionButton.Default) box.setDefaultButton(action);
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
