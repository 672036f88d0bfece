#include "CheckBox.h"

#include <QCheckBox>

#include "Application.h"
#include "Window.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw {

namespace {
QCheckBox* BoxOf(const Control::Impl& impl) { return static_cast<QCheckBox*>(impl.widget.data()); }
}  // namespace

CheckBox::CheckBox(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  auto* box = new QCheckBox(ContentWidget(*owner));
  impl_->widget = box;
  box->setGeometry(left, top, width, height);
  box->show();
  QObject::connect(box, &QCheckBox::toggled, [this] {
    if (Action) Guard([&] { Action(); });
  });
}

CheckBox::~CheckBox() = default;

void CheckBox::SetCaption(std::string_view c) {
  caption_ = c;
  BoxOf(*impl_)->setText(ToQ(c));
}

bool CheckBox::Value() const { return BoxOf(*impl_)->isChecked(); }
void CheckBox::SetValue(bool v) { BoxOf(*impl_)->setChecked(v); }

void CheckBox::SetTextSize(int s) {
  QFont font = BoxOf(*impl_)->font();
  if (s > 0) font.setPixelSize(s);
  BoxOf(*impl_)->setFont(font);
}

}  // namespace fw
