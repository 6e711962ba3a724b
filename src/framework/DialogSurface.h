// What a dialog's logic does to its window, and nothing more. On Windows a
// surface acts on the real dialog window; the headless surface keeps the same
// state in memory so the logic runs, and is tested, without a window. Text is
// UTF-8, like all of the program's own strings.
#pragma once

#include <string>

namespace pw {

// Check states, numbered as Windows numbers them.
constexpr int kUnchecked = 0;
constexpr int kChecked = 1;

// A control of a dialog template and its start state.
struct ControlSpec {
  int id;
  std::string caption;
  bool visible = true;
  bool enabled = true;
};

class DialogSurface {
 public:
  virtual ~DialogSurface() = default;
  virtual std::string Caption(int id) = 0;
  virtual void SetCaption(int id, const std::string& text) = 0;
  virtual int CheckState(int id) = 0;
  virtual void SetCheckState(int id, int state) = 0;
  virtual bool IsEnabled(int id) = 0;
  virtual void Enable(int id, bool enabled) = 0;
  virtual bool IsVisible(int id) = 0;
  virtual void Show(int id, bool visible) = 0;
  virtual void SetDefaultButton(int id) = 0;
  // Big and small window icon from the icon resource `icon_id`.
  virtual void SetIcons(int icon_id) = 0;
  // Ends the modal loop with `result`.
  virtual void End(int result) = 0;
};

}  // namespace pw
