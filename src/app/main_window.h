#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/form_design.h"
#include "app/form_layout.h"
#include "app/window_handles.h"
#include "platform/runtime_services.h"
#include "repair/repair_inputs.h"

namespace velstrand::app {

// `Form1`: the folder box, the two server options and the start button. It hands each start click to the
// repair run, with what its controls show at that moment. While the run works, which takes the window's thread
// for seconds, no one steers it from the window: a server selected meanwhile is put back, a close waits for the
// run's end, and what the player pressed meanwhile is dropped.
class MainWindow final {
  public:
    MainWindow(HINSTANCE instance, RuntimeServices& services);
    ~MainWindow();

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls, not yet shown, sized for the DPI of the screen it will appear on.
    bool Create();
    // The load event: fills the folder box for the official server and warns when it stays empty. The window is
    // still hidden, so a warning comes before it.
    void Load();
    // Shows the window with the focus on the start button.
    void Show(int showCommand);
    // Null once the window has been closed.
    HWND Handle() const { return window_.Get(); }

    // The text of the folder box; no result when it cannot be read.
    std::optional<std::wstring> GameFolderText();
    // Whether the official server's option is selected; no result when that cannot be read.
    std::optional<bool> IsOfficialServerSelected();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool CreateControls();
    void OnCommand(int id, int notification);
    void OnServerSelected(std::wstring_view editionKey);
    void OnStartClicked();
    void OnDpiChanged(UINT dpi, const RECT& suggested);

    void ApplyDpi(UINT dpi);
    void KeepLabelOffTheFolderBox(const FormLayout& layout);
    void FitFrameToClient();
    void CentreOnWorkArea();
    void KeepTabStopOnSelectedOption();
    void SelectOnly(ControlId option);
    void SetFolderText(const std::wstring& text);
    HWND Control(ControlId id) const;

    HINSTANCE instance_;
    RuntimeServices& services_;
    // Declared in the order they may be released: the window first, then its font, then its class.
    RegisteredClass class_;
    UniqueFont font_;
    UniqueWindow window_;
    std::array<HWND, kControls.size()> controls_{};  // owned by the window, in the order of kControls
    HWND focusWhileInactive_ = nullptr;
    UINT dpi_ = 96;
    bool repairRunning_ = false;
    // What the run in progress works on.
    RepairInputs runInputs_;
    // A close that came while a run worked, honoured when it has ended.
    bool closeAfterRun_ = false;
};

}  // namespace velstrand::app
