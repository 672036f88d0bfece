#include "Controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>

#include "Application.h"
#include "internal/ControlWidgets.h"
#include "internal/QtBridge.h"

namespace fw {

namespace {

// Refuses typed or pasted text longer than the limit; the game's own SetText is not limited.
class LengthLimit : public QValidator {
 public:
  LengthLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
  State validate(QString& input, int&) const override { return input.size() > limit_ ? Invalid : Acceptable; }

 private:
  int limit_;
};

class LineWidget : public QLineEdit {
 public:
  LineWidget(EditField& f, QWidget* parent) : QLineEdit(parent), f_(f) {
    QObject::connect(this, &QLineEdit::textEdited, [this] {
      if (f_.TextChange) Guard([&] { f_.TextChange(); });
    });
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    // A key with Ctrl or Alt held is a shortcut, not typing: the game does not hear it,
    // and the field takes only its own editing commands (select all, copy ...), no text.
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
      QKeyEvent command(e->type(), e->key(), e->modifiers(), e->nativeScanCode(), e->nativeVirtualKey(),
                        e->nativeModifiers(), QString(), e->isAutoRepeat(), e->count());
      QLineEdit::keyPressEvent(&command);
      e->setAccepted(command.isAccepted());
      return;
    }
    bool took = false;
    std::string key = KeyText(e);
    if (f_.KeyDown && !key.empty()) Guard([&] { took = f_.KeyDown(key); });
    if (!took) QLineEdit::keyPressEvent(e);
  }
  // Tab goes on only to another control that takes it: the window's own content is no
  // control, so a field alone in its window keeps the focus, and its selection.
  bool focusNextPrevChild(bool next) override {
    QWidget* content = ContentWidget(*f_.Owner());
    auto step = [next](QWidget* w) { return next ? w->nextInFocusChain() : w->previousInFocusChain(); };
    for (QWidget* w = step(this); w != this; w = step(w))
      if (w != content && content->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
          w->isVisible()) {
        w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        break;
      }
    return true;
  }

 private:
  EditField& f_;
};

}  // namespace

EditField::EditField(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new LineWidget(*this, SurfaceOf(owner)), left, top, width, height);
}
EditField::~EditField() = default;

static QLineEdit* LineOf(const Control::Impl& impl) { return static_cast<QLineEdit*>(impl.widget.data()); }

std::string EditField::Text() const { return LineOf(*impl_)->text().toStdString(); }
void EditField::SetText(std::string_view t) { LineOf(*impl_)->setText(ToQ(t)); }
void EditField::SetTextFont(std::string_view f) {
  QFont font = LineOf(*impl_)->font();
  if (f != "System") font.setFamily(ToQ(f));
  LineOf(*impl_)->setFont(font);
}
void EditField::SetTextSize(int s) {
  QFont font = LineOf(*impl_)->font();
  if (s > 0) font.setPixelSize(s);
  LineOf(*impl_)->setFont(font);
}

bool EditField::ReadOnly() const { return LineOf(*impl_)->isReadOnly(); }
void EditField::SetReadOnly(bool r) { LineOf(*impl_)->setReadOnly(r); }

int EditField::SelStart() const {
  QLineEdit* line = LineOf(*impl_);
  return line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
}
void EditField::SetSelStart(int start) {
  QLineEdit* line = LineOf(*impl_);
  line->setCursorPosition(std::clamp<int>(start, 0, static_cast<int>(line->text().size())));
}
int EditField::SelLength() const { return static_cast<int>(LineOf(*impl_)->selectedText().size()); }
void EditField::SetSelLength(int length) {
  QLineEdit* line = LineOf(*impl_);
  int start = SelStart();
  int rest = static_cast<int>(line->text().size()) - start;
  line->setSelection(start, std::clamp(length, 0, rest));
}

void EditField::SetMaxLength(int n) {
  maxLength_ = std::max(n, 0);
  QLineEdit* line = LineOf(*impl_);
  delete line->validator();
  line->setValidator(maxLength_ > 0 ? new LengthLimit(maxLength_, line) : nullptr);
}

void EditField::SetAlignment(int a) {
  Qt::Alignment h = a == kCenter ? Qt::AlignHCenter : a == kRight ? Qt::AlignRight : Qt::AlignLeft;
  LineOf(*impl_)->setAlignment(h | Qt::AlignVCenter);
}
}  // namespace fw
