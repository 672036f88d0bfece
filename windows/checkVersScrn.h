// The version check: asks the maker's host for the newest version over HTTP.
#pragma once

#include "framework/Window.h"

class checkVersScrn : public fw::Window {
 public:
  checkVersScrn();
  static checkVersScrn& Instance() { return fw::Implicit<checkVersScrn>(); }
};
