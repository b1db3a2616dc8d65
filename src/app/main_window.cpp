#include "app/main_window.h"

#include <commctrl.h>

#include <utility>

#include "app/dpi.h"
#include "app/form_layout.h"
#include "app/resource_ids.h"
#include "gamepath/game_path.h"
#include "platform/application_title.h"
#include "platform/win32/window_upkeep.h"
#include "repair/repair_run.h"

namespace velstrand::app {

namespace {

constexpr wchar_t kClassName[] = L"Velstrand.Form1";

// Fixed size: the layout is designed for one client size, so the frame can be minimised but not resized.
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyle = 0;

struct ChildClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

// Every control starts a group of its own except Option2, which joins Option1's, so that the two options clear
// each other and arrow keys move between them only. Option2 gets a tab stop when it is the selected one.
ChildClass ChildClassFor(ControlKind kind, ControlId id) {
    // The label reaches 12 twips into the folder box; clipping keeps each from painting over the other.
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (kind) {
        case ControlKind::PushButton:
            // Not BS_DEFPUSHBUTTON: Enter must not press the start button.
            return {WC_BUTTONW, kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0};
        case ControlKind::TextBox:
            return {WC_EDITW, kChild | WS_TABSTOP | WS_GROUP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::Label:
            return {WC_STATICW, kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::OptionButton:
            return {WC_BUTTONW, kChild | BS_AUTORADIOBUTTON | (id == kOption1 ? (WS_GROUP | WS_TABSTOP) : DWORD{0}), 0};
    }
    return {WC_STATICW, kChild, 0};
}

HICON LoadAppIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELSTRAND), IMAGE_ICON,
                                           ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric),
                                           LR_SHARED));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, RuntimeServices& services) : instance_(instance), services_(services) {}

// The window goes first, while everything its last messages touch is still whole.
MainWindow::~MainWindow() {
    window_.Reset();
}

bool MainWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &MainWindow::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadAppIcon(instance_, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = LoadAppIcon(instance_, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    const ATOM atom = ::RegisterClassExW(&windowClass);
    if (atom == 0) {
        return false;
    }
    class_ = RegisteredClass(atom, instance_);

    // The size is set once the window knows its DPI.
    ::CreateWindowExW(kFrameExStyle, MAKEINTATOM(atom), kApplicationTitle, kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    if (!window_ || !CreateControls()) {
        window_.Reset();
        return false;
    }
    ApplyDpi(WindowDpi(Handle()));
    FitFrameToClient();
    CentreOnWorkArea();
    return true;
}

bool MainWindow::CreateControls() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlDesign& design = kControls[i];
        const ChildClass child = ChildClassFor(design.kind, design.id);
        controls_[i] = ::CreateWindowExW(child.exStyle, child.className, std::wstring(design.text).c_str(), child.style,
                                         0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)),
                                         instance_, nullptr);
        if (controls_[i] == nullptr) {
            return false;
        }
    }
    // Right before the folder box, which screen readers then announce by the label's caption. The label takes no
    // focus, so the tab order is unchanged.
    ::SetWindowPos(Control(kLabel1), Control(kCommand1), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A game folder path may be longer than the edit box's default limit of 30,000 characters.
    ::SendMessageW(Control(kText1), EM_SETLIMITTEXT, 0, 0);
    ::SendMessageW(Control(kOption1), BM_SETCHECK, BST_CHECKED, 0);
    return true;
}

void MainWindow::Load() {
    SetFolderText(GetGamePath(services_, std::wstring(kOfficialEditionKey)));
    // What the box shows decides, not what the lookup returned.
    const std::optional<std::wstring> shown = GameFolderText();
    if (shown && shown->empty()) {
        services_.ShowMessage(std::wstring(kNoGameFolderMessage));
    }
}

void MainWindow::Show(int showCommand) {
    focusWhileInactive_ = Control(kCommand1);
    ::ShowWindow(Handle(), showCommand);
    ::UpdateWindow(Handle());
    ::SetFocus(Control(kCommand1));
}

std::optional<std::wstring> MainWindow::GameFolderText() {
    const HWND text1 = Control(kText1);
    if (text1 == nullptr || !::IsWindow(text1)) {
        return std::nullopt;
    }
    const int length = ::GetWindowTextLengthW(text1);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SetLastError(ERROR_SUCCESS);
    const int copied = ::GetWindowTextW(text1, text.data(), length + 1);
    if (copied == 0 && ::GetLastError() != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::optional<bool> MainWindow::IsOfficialServerSelected() {
    const HWND option1 = Control(kOption1);
    if (option1 == nullptr || !::IsWindow(option1)) {
        return std::nullopt;
    }
    return ::SendMessageW(option1, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.Reset(window);
    } else {
        self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone: nothing is left to destroy or to read.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.Release();
        self->controls_.fill(nullptr);
    }
    return result;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            // A plain window does not remember its focused control as a dialog does; without this the focus
            // would be lost after switching to another window and back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus != nullptr && ::IsChild(Handle(), focus)) {
                    focusWhileInactive_ = focus;
                }
            }
            break;
        case WM_SETFOCUS:
            if (focusWhileInactive_ != nullptr && ::IsWindow(focusWhileInactive_)) {
                ::SetFocus(focusWhileInactive_);
            }
            return 0;
        case WM_GETDPISCALEDSIZE: {
            // Asked before a DPI change: answering with the exact frame makes the suggested rectangle fit the
            // fixed client area at the new DPI.
            const UINT dpi = static_cast<UINT>(wParam);
            const FormLayout layout = LayOutForm(static_cast<int>(dpi));
            *reinterpret_cast<SIZE*>(lParam) =
                FrameSizeForClient(layout.clientWidth, layout.clientHeight, kFrameStyle, kFrameExStyle, dpi);
            return TRUE;
        }
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            // The run lets through what other programs send, the taskbar's close included (SC_CLOSE turns into
            // this). Closing now would leave the game ended, its files unswept and its client not started.
            if (repairRunning_) {
                closeAfterRun_ = true;
                return 0;
            }
            break;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    switch (id) {
        case kCommand1:
            OnStartClicked();
            break;
        case kOption1:
            OnServerSelected(kOfficialEditionKey);
            break;
        case kOption2:
            OnServerSelected(kExperienceEditionKey);
            break;
        default:
            // IDOK and IDCANCEL, which the dialog keys send for Enter and Escape: neither starts a run.
            break;
    }
}

void MainWindow::OnServerSelected(std::wstring_view editionKey) {
    // Only a click another program sends gets here during a run. The option has checked itself already; the window
    // goes back to showing the server whose client the run starts, and the folder box keeps its text.
    if (repairRunning_) {
        SelectOnly(runInputs_.officialServer.value_or(true) ? kOption1 : kOption2);
        return;
    }
    SetFolderText(GetGamePath(services_, std::wstring(editionKey)));
    KeepTabStopOnSelectedOption();
}

void MainWindow::OnStartClicked() {
    // While it waits and sweeps, the run lets through messages other programs send the window: a click sent then
    // must not begin a second run inside the first.
    if (repairRunning_) {
        return;
    }
    repairRunning_ = true;
    runInputs_ = RepairInputs{GameFolderText(), IsOfficialServerSelected()};
    {
        // The run keeps the thread until it ends, so the cursor is not reset by WM_SETCURSOR meanwhile.
        const ScopedWaitCursor wait;
        RunRepair(services_, runInputs_);
    }
    // Keys and clicks pressed while the run kept the thread have waited in the queue, and would reach the window
    // now, long after they were meant: a Space would press the start button again.
    DropQueuedInput();
    repairRunning_ = false;
    // Posted: the click that started the run may still be at work in the button, which must not lose its window
    // under it.
    if (std::exchange(closeAfterRun_, false)) {
        ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
    }
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyDpi(dpi);
    FitFrameToClient();
}

void MainWindow::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    LOGFONTW logFont{};
    if (MessageFontAt(dpi, logFont)) {
        UniqueFont font(::CreateFontIndirectW(&logFont));
        if (font) {
            for (const HWND control : controls_) {
                ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
            }
            // The old font goes only now that no control uses it.
            font_ = std::move(font);
        }
    }
    const FormLayout layout = LayOutForm(static_cast<int>(dpi));
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const PixelRect& rect = layout.controls[i];
        ::SetWindowPos(controls_[i], nullptr, rect.left, rect.top, rect.width, rect.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    KeepLabelOffTheFolderBox(layout);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

// The label reaches 12 twips into the folder box and lies above it, so that screen readers name the box after it.
// Its window is cut back to what lies outside the box, so that the box keeps its whole border.
void MainWindow::KeepLabelOffTheFolderBox(const FormLayout& layout) {
    const PixelRect& label = RectOf(layout, kLabel1);
    const PixelRect& box = RectOf(layout, kText1);
    UniqueRegion visible(::CreateRectRgn(0, 0, label.width, label.height));
    const UniqueRegion overlap(::CreateRectRgn(box.left - label.left, box.top - label.top,
                                               box.left - label.left + box.width, box.top - label.top + box.height));
    if (!visible || !overlap || ::CombineRgn(visible.Get(), visible.Get(), overlap.Get(), RGN_DIFF) == ERROR) {
        return;
    }
    // The window owns the region once it has taken it.
    if (::SetWindowRgn(Control(kLabel1), visible.Get(), TRUE) != 0) {
        visible.Release();
    }
}

void MainWindow::FitFrameToClient() {
    const FormLayout layout = LayOutForm(static_cast<int>(dpi_));
    SIZE frame = FrameSizeForClient(layout.clientWidth, layout.clientHeight, kFrameStyle, kFrameExStyle, dpi_);
    constexpr UINT kResizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(Handle(), nullptr, 0, 0, frame.cx, frame.cy, kResizeOnly);
    // A frame that differs from what the system computed (a themed caption, say) is corrected once, so that the
    // client area is exactly the designed one.
    RECT client{};
    if (::GetClientRect(Handle(), &client) &&
        (client.right != layout.clientWidth || client.bottom != layout.clientHeight)) {
        frame.cx += layout.clientWidth - client.right;
        frame.cy += layout.clientHeight - client.bottom;
        ::SetWindowPos(Handle(), nullptr, 0, 0, frame.cx, frame.cy, kResizeOnly);
    }
}

void MainWindow::CentreOnWorkArea() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT frame{};
    if (!::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor) ||
        !::GetWindowRect(Handle(), &frame)) {
        return;
    }
    const RECT& area = monitor.rcWork;
    const int left = area.left + ((area.right - area.left) - (frame.right - frame.left)) / 2;
    const int top = area.top + ((area.bottom - area.top) - (frame.bottom - frame.top)) / 2;
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::KeepTabStopOnSelectedOption() {
    // Tab enters the option group at the selected option, as in a dialog, so tabbing never lands on (and, for
    // an automatic option button, selects) the other server.
    for (const ControlId id : {kOption1, kOption2}) {
        const HWND option = Control(id);
        const LONG_PTR style = ::GetWindowLongPtrW(option, GWL_STYLE);
        const bool selected = ::SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const LONG_PTR wanted = selected ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
        if (wanted != style) {
            ::SetWindowLongPtrW(option, GWL_STYLE, wanted);
        }
    }
}

void MainWindow::SelectOnly(ControlId option) {
    for (const ControlId id : {kOption1, kOption2}) {
        ::SendMessageW(Control(id), BM_SETCHECK, id == option ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void MainWindow::SetFolderText(const std::wstring& text) {
    ::SetWindowTextW(Control(kText1), text.c_str());
}

HWND MainWindow::Control(ControlId id) const {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].id == id) {
            return controls_[i];
        }
    }
    return nullptr;
}

}  // namespace velstrand::app
