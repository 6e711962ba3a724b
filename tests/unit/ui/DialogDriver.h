// Plays the user's part on a headless dialog: typing, clicking, reading.
#pragma once

#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/HeadlessSurface.h"

namespace pw {

class DialogDriver {
 public:
  DialogDriver(CDialog& dialog, HeadlessSurface& surface) : dialog_(dialog), surface_(surface) {}

  void Type(int edit_id, const std::string& text) {
    surface_.SetCaption(edit_id, text);
    dialog_.OnCommand(edit_id, kEnChange);
  }
  // An auto radio button checks itself and clears the rest of its group.
  void ChooseRadio(const std::vector<int>& group, int id) {
    if (!surface_.IsEnabled(id)) return;
    for (int other : group) surface_.SetCheckState(other, other == id ? kChecked : kUnchecked);
    dialog_.OnCommand(id, kBnClicked);
  }
  void Toggle(int check_box_id) {
    if (!surface_.IsEnabled(check_box_id)) return;
    surface_.SetCheckState(check_box_id, surface_.CheckState(check_box_id) == kChecked ? kUnchecked : kChecked);
  }
  // Clicking does nothing on a disabled or hidden button.
  bool Click(int button_id) {
    if (!surface_.IsEnabled(button_id) || !surface_.IsVisible(button_id)) return false;
    if (button_id == kIdCancel)
      dialog_.OnCancel();
    else if (button_id == kIdOk)
      dialog_.OnOK();
    else
      dialog_.OnCommand(button_id, kBnClicked);
    return true;
  }

 private:
  CDialog& dialog_;
  HeadlessSurface& surface_;
};

}  // namespace pw
