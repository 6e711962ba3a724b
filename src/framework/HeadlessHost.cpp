#include "framework/HeadlessHost.h"

namespace pw {

int HeadlessHost::RunModal(CDialog& dialog, int template_id) {
  runs_.push_back(template_id);
  HeadlessSurface surface(templates_[template_id]);
  DialogSurface* previous = dialog.surface();
  dialog.AttachSurface(&surface);
  dialog.OnInitDialog();
  auto script = scripts_.find(template_id);
  if (script != scripts_.end() && script->second) script->second(dialog, surface);
  if (!surface.ended()) dialog.OnCancel();
  dialog.AttachSurface(previous);
  return surface.result();
}

}  // namespace pw
