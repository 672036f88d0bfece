// The widgets and helpers the controls that draw into pictures of their own share.
#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "../Controls.h"
#include "QtBridge.h"
#include "WindowControls.h"

namespace fw {

// Copies the control's stored picture to the screen; never draws anything itself.
class PictureWidget : public QWidget {
 public:
  PictureWidget(const Control::Impl& impl, QWidget* parent) : QWidget(parent), impl_(impl) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (impl_.picture.isNull()) return;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), impl_.picture);
  }

 private:
  const Control::Impl& impl_;
};

// A stored picture that only shows: clicks go through to what lies beneath.
class PassiveWidget : public PictureWidget {
 public:
  PassiveWidget(const Control::Impl& impl, QWidget* parent) : PictureWidget(impl, parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
};

inline QWidget* SurfaceOf(Window* w) { return ContentWidget(*w); }

void Place(Control::Impl& impl, QWidget* w, int left, int top, int width, int height);
// A fresh, fully transparent picture the size of the control.
QImage& ClearPicture(Control::Impl& impl);

}  // namespace fw
