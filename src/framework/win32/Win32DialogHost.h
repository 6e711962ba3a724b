// Runs dialogs modally as real Unicode windows, so the Hebrew captions of the
// templates show on any code page; the program's UTF-8 text becomes the
// controls' UTF-16 on its way in and out.
#pragma once

#include "framework/Dialog.h"

namespace pw {

class Win32DialogHost : public DialogHost {
 public:
  int RunModal(CDialog& dialog, int template_id) override;

 private:
  bool controls_registered_ = false;
};

}  // namespace pw
