// Runs dialogs modally without windows: each run gets a headless surface with
// its template's controls, and a script plays the user's part. A dialog whose
// script does not end it is cancelled, as closing its window would.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "framework/Dialog.h"
#include "framework/HeadlessSurface.h"

namespace pw {

class HeadlessHost : public DialogHost {
 public:
  using Script = std::function<void(CDialog& dialog, HeadlessSurface& surface)>;

  void Register(int template_id, std::vector<ControlSpec> controls) { templates_[template_id] = std::move(controls); }
  void OnRun(int template_id, Script script) { scripts_[template_id] = std::move(script); }
  int RunModal(CDialog& dialog, int template_id) override;

  // Templates run so far, in order.
  const std::vector<int>& runs() const { return runs_; }

 private:
  std::map<int, std::vector<ControlSpec>> templates_;
  std::map<int, Script> scripts_;
  std::vector<int> runs_;
};

}  // namespace pw
