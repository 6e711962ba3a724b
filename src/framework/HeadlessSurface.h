// A dialog surface without a window: controls are records in memory, created
// with the start state of the dialog template. Tests read and drive it the way
// a user drives the real dialog.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "framework/DialogSurface.h"

namespace pw {

class HeadlessSurface : public DialogSurface {
 public:
  explicit HeadlessSurface(const std::vector<ControlSpec>& controls);

  std::string Caption(int id) override { return At(id).caption; }
  void SetCaption(int id, const std::string& text) override { At(id).caption = text; }
  int CheckState(int id) override { return At(id).check; }
  void SetCheckState(int id, int state) override { At(id).check = state; }
  bool IsEnabled(int id) override { return At(id).enabled; }
  void Enable(int id, bool enabled) override { At(id).enabled = enabled; }
  bool IsVisible(int id) override { return At(id).visible; }
  void Show(int id, bool visible) override { At(id).visible = visible; }
  void SetDefaultButton(int id) override { default_button_ = id; }
  void SetIcons(int icon_id) override { icon_ = icon_id; }
  void End(int result) override {
    ended_ = true;
    result_ = result;
  }

  int default_button() const { return default_button_; }
  int icon() const { return icon_; }
  bool ended() const { return ended_; }
  int result() const { return result_; }

 private:
  struct Control {
    std::string caption;
    int check = kUnchecked;
    bool visible = true;
    bool enabled = true;
  };
  // A control the template does not have is a programming error.
  Control& At(int id);

  std::map<int, Control> controls_;
  int default_button_ = 0;
  int icon_ = 0;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace pw
