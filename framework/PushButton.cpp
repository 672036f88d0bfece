#include "PushButton.h"

#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>
#include <vector>

#include "Application.h"
#include "Window.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw {

namespace {

// Every button, in creation order: the first default button of a window answers Return.
std::vector<PushButton*> gButtons;

QPushButton* ButtonOf(const Control::Impl& impl) { return static_cast<QPushButton*>(impl.widget.data()); }

// Return and Enter pass on to the window even from a focused button: its key handler
// hears them first, then its default button answers them.
class ButtonWidget : public QPushButton {
 public:
  explicit ButtonWidget(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    setFocusPolicy(Qt::TabFocus);
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return e->ignore();
    QPushButton::keyPressEvent(e);
  }
};

}  // namespace

PushButton::PushButton(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  // Qt's own default-button handling only works in dialogs; the window's key path does it here.
  auto* b = new ButtonWidget(ContentWidget(*owner));
  impl_->widget = b;
  b->setGeometry(left, top, width, height);
  b->show();
  QObject::connect(b, &QPushButton::clicked, [this] {
    if (Action) Guard([&] { Action(); });
  });
  gButtons.push_back(this);
}

PushButton::~PushButton() { gButtons.erase(std::remove(gButtons.begin(), gButtons.end(), this), gButtons.end()); }

void PushButton::SetCaption(std::string_view c) {
  caption_ = c;
  ButtonOf(*impl_)->setText(ToQ(c));
}

void PushButton::SetDefault(bool d) {
  default_ = d;
  ButtonOf(*impl_)->setDefault(d);  // the default button's look
}

void PushButton::SetTextSize(int s) {
  QFont font = ButtonOf(*impl_)->font();
  if (s > 0) font.setPixelSize(s);
  ButtonOf(*impl_)->setFont(font);
}

bool PressButtonForKey(Window& w, const std::string& key) {
  bool isDefault = key == "\r" || key == "\x03";
  bool isCancel = key == "\x1b";
  if (!isDefault && !isCancel) return false;
  for (PushButton* b : gButtons) {
    if (b->Owner() != &w || !(isDefault ? b->default_ : b->cancel_)) continue;
    QWidget* widget = b->impl().widget;
    if (!widget->isEnabled() || !widget->isVisibleTo(ContentWidget(w))) continue;
    ButtonOf(b->impl())->click();
    return true;
  }
  return false;
}

}  // namespace fw
