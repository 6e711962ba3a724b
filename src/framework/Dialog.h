// The small stand-in for the application framework's dialog: data exchange
// between members and controls, control wrappers, the handlers the program
// overrides, and a modal run through a DialogHost. Without a surface (the
// command-line runs) every window operation is skipped.
#pragma once

#include <string>
#include <vector>

#include "framework/DialogSurface.h"

namespace pw {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
// Notification codes of WM_COMMAND.
constexpr int kBnClicked = 0;
constexpr int kEnChange = 0x0300;

class CDialog;

// Runs a dialog modally: creates its window from the template, gives the
// dialog a surface, calls OnInitDialog, routes commands, and returns the
// result passed to EndDialog.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual int RunModal(CDialog& dialog, int template_id) = 0;
};

// A control of a dialog, bound by id. Operations on an unbound control, or
// on a dialog without a window, do nothing.
class CControl {
 public:
  void Bind(CDialog* dialog, int id) {
    dialog_ = dialog;
    id_ = id;
  }
  int id() const { return id_; }
  void Enable(bool enabled);
  void Show(bool visible);
  void SetCaption(const std::string& text);
  void SetCheck(int state);
  // False when there is no window.
  bool IsEnabled() const;

 private:
  DialogSurface* Surface() const;
  CDialog* dialog_ = nullptr;
  int id_ = 0;
};

// Moves values between members and controls, one direction per exchange.
class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, DialogSurface& surface, bool save) : dialog_(dialog), surface_(surface), save_(save) {}
  bool saving() const { return save_; }
  CDialog* dialog() const { return dialog_; }
  DialogSurface& surface() const { return surface_; }

 private:
  CDialog* dialog_;
  DialogSurface& surface_;
  bool save_;
};

void DDX_Control(CDataExchange& dx, int id, CControl& control);
void DDX_Text(CDataExchange& dx, int id, std::string& value);
void DDX_Check(CDataExchange& dx, int id, int& value);
// The group's radio buttons in tab order; the value is the index of the
// checked one, -1 when none is.
void DDX_Radio(CDataExchange& dx, const std::vector<int>& group, int& value);

class CDialog {
 public:
  CDialog(int template_id, DialogHost* host) : template_id_(template_id), host_(host) {}
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;
  virtual ~CDialog() = default;

  int DoModal();
  // The framework's initialisation: members into controls.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // Routes a command (WM_COMMAND) to its handler; false when nobody handles it.
  virtual bool OnCommand(int id, int notify_code);

  // true: controls into members; false: members into controls.
  bool UpdateData(bool save_and_validate = true);
  void EndDialog(int result);

  // The window's surface while the dialog runs modally; null otherwise.
  DialogSurface* surface() const { return surface_; }
  void AttachSurface(DialogSurface* surface) { surface_ = surface; }
  DialogHost* host() const { return host_; }

 protected:
  virtual void DoDataExchange(CDataExchange& dx);

 private:
  int template_id_;
  DialogHost* host_;
  DialogSurface* surface_ = nullptr;
};

}  // namespace pw
