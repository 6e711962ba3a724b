#include "framework/win32/Win32DialogHost.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Io.h"

namespace pw {

namespace {

class Win32Surface : public DialogSurface {
 public:
  explicit Win32Surface(HWND window) : window_(window) {}

  std::string Caption(int id) override {
    HWND item = GetDlgItem(window_, id);
    const int length = GetWindowTextLengthW(item);
    std::vector<wchar_t> buffer(length + 1);
    GetWindowTextW(item, buffer.data(), length + 1);
    return Narrow(buffer.data());
  }
  void SetCaption(int id, const std::string& text) override {
    // Like the framework: an unchanged text is not set again, so an edit box
    // does not report a change that did not happen.
    if (Caption(id) == text) return;
    SetDlgItemTextW(window_, id, Wide(text).c_str());
  }
  int CheckState(int id) override { return static_cast<int>(IsDlgButtonChecked(window_, id)); }
  void SetCheckState(int id, int state) override { CheckDlgButton(window_, id, static_cast<UINT>(state)); }
  bool IsEnabled(int id) override { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }
  void Enable(int id, bool enabled) override { EnableWindow(GetDlgItem(window_, id), enabled ? TRUE : FALSE); }
  bool IsVisible(int id) override {
    return (GetWindowLongW(GetDlgItem(window_, id), GWL_STYLE) & WS_VISIBLE) != 0;
  }
  void Show(int id, bool visible) override { ShowWindow(GetDlgItem(window_, id), visible ? SW_SHOW : SW_HIDE); }
  void SetDefaultButton(int id) override {
    SendMessageW(window_, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, id)), TRUE);
  }
  void SetIcons(int icon_id) override {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON big = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(icon_id), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    HICON small_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(icon_id), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
  }
  void End(int result) override { EndDialog(window_, result); }

 private:
  HWND window_;
};

struct Running {
  CDialog* dialog;
  Win32Surface* surface;
};

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* running = reinterpret_cast<Running*>(GetWindowLongPtrW(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      running = reinterpret_cast<Running*>(lparam);
      SetWindowLongPtrW(window, DWLP_USER, lparam);
      running->surface = new Win32Surface(window);
      running->dialog->AttachSurface(running->surface);
      return running->dialog->OnInitDialog() ? TRUE : FALSE;
    }
    case WM_COMMAND: {
      if (!running) return FALSE;
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      if (id == IDOK && code == BN_CLICKED) {
        running->dialog->OnOK();
        return TRUE;
      }
      if (id == IDCANCEL && code == BN_CLICKED) {
        running->dialog->OnCancel();
        return TRUE;
      }
      return running->dialog->OnCommand(id, code) ? TRUE : FALSE;
    }
    case WM_NCDESTROY:
      if (running) {
        running->dialog->AttachSurface(nullptr);
        delete running->surface;
        running->surface = nullptr;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int Win32DialogHost::RunModal(CDialog& dialog, int template_id) {
  // The dialogs' controls are registered before the first dialog, and only
  // then: a run from the command line shows none and need not pay for them.
  if (!controls_registered_) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    controls_registered_ = InitCommonControlsEx(&controls) != FALSE;
  }
  Running running{&dialog, nullptr};
  DialogSurface* previous = dialog.surface();
  HWND owner = previous ? GetActiveWindow() : nullptr;
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id), owner,
                                         DialogProc, reinterpret_cast<LPARAM>(&running));
  dialog.AttachSurface(previous);
  return static_cast<int>(result);
}

}  // namespace pw
