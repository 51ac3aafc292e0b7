#include "win32/shell/MainFrame.h"

#include "win32/shell/ShellIds.h"

namespace {

constexpr const wchar_t* kFrameClass = L"RavelleMainFrame";
// WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, nothing more.
constexpr DWORD kFrameStyle = 0x00CA0000;

}  // namespace

CMainFrame::~CMainFrame() {
  if (frame_ != nullptr) {
    onDestroy = nullptr;
    DestroyWindow(frame_);
  }
}

bool CMainFrame::Create(const wchar_t* title) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW frameClass{};
  frameClass.cbSize = sizeof frameClass;
  frameClass.lpfnWndProc = WindowProc;
  frameClass.hInstance = instance;
  frameClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  frameClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), 0));
  frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  frameClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  frameClass.lpszClassName = kFrameClass;
  // Registered once per process; a second frame (a test's) finds it there.
  if (RegisterClassExW(&frameClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }
  frame_ = CreateWindowExW(0, kFrameClass, title, kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME)), instance, this);
  return frame_ != nullptr;
}

void CMainFrame::FitClientArea(SIZE clientSize) {
  RECT window{0, 0, clientSize.cx, clientSize.cy};
  AdjustWindowRectEx(&window, kFrameStyle, TRUE, 0);
  SetWindowPos(frame_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CALLBACK CMainFrame::WindowProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<CMainFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->frame_ = frame;
  }
  auto* self = reinterpret_cast<CMainFrame*>(GetWindowLongPtrW(frame, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      // Commands from the menu and the accelerators; the form's controls
      // notify the form itself.
      if (lParam == 0 && self != nullptr && self->onCommand) self->onCommand(LOWORD(wParam));
      return 0;
    case WM_SETFOCUS:
      // The keyboard focus lies in the form whenever the window is active
      // (the form gives it back to the control that last had it), so the
      // keys reach the controls and never the frame's accelerators.
      if (HWND form = GetWindow(frame, GW_CHILD)) SetFocus(form);
      return 0;
    case WM_DESTROY:
      if (self != nullptr) {
        self->frame_ = nullptr;
        if (self->onDestroy) self->onDestroy();
      }
      return 0;
    default:
      return DefWindowProcW(frame, message, wParam, lParam);
  }
}
