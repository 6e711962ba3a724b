#include "framework/Dialog.h"

namespace pw {

DialogSurface* CControl::Surface() const { return dialog_ ? dialog_->surface() : nullptr; }

void CControl::Enable(bool enabled) {
  if (DialogSurface* s = Surface()) s->Enable(id_, enabled);
}

void CControl::Show(bool visible) {
  if (DialogSurface* s = Surface()) s->Show(id_, visible);
}

void CControl::SetCaption(const std::string& text) {
  if (DialogSurface* s = Surface()) s->SetCaption(id_, text);
}

void CControl::SetCheck(int state) {
  if (DialogSurface* s = Surface()) s->SetCheckState(id_, state);
}

bool CControl::IsEnabled() const {
  DialogSurface* s = Surface();
  return s && s->IsEnabled(id_);
}

void DDX_Control(CDataExchange& dx, int id, CControl& control) { control.Bind(dx.dialog(), id); }

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
  if (dx.saving())
    value = dx.surface().Caption(id);
  else
    dx.surface().SetCaption(id, value);
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
  if (dx.saving())
    value = dx.surface().CheckState(id);
  else
    dx.surface().SetCheckState(id, value);
}

void DDX_Radio(CDataExchange& dx, const std::vector<int>& group, int& value) {
  if (dx.saving()) {
    value = -1;
    for (size_t i = 0; i < group.size(); ++i)
      if (dx.surface().CheckState(group[i]) == kChecked) value = static_cast<int>(i);
  } else {
    for (size_t i = 0; i < group.size(); ++i)
      dx.surface().SetCheckState(group[i], static_cast<int>(i) == value ? kChecked : kUnchecked);
  }
}

int CDialog::DoModal() { return host_ ? host_->RunModal(*this, template_id_) : -1; }

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(kIdOk);
}

void CDialog::OnCancel() { EndDialog(kIdCancel); }

bool CDialog::OnCommand(int, int) { return false; }

bool CDialog::UpdateData(bool save_and_validate) {
  if (!surface_) return false;
  CDataExchange dx(this, *surface_, save_and_validate);
  DoDataExchange(dx);
  return true;
}

void CDialog::EndDialog(int result) {
  if (surface_) surface_->End(result);
}

void CDialog::DoDataExchange(CDataExchange&) {}

}  // namespace pw
