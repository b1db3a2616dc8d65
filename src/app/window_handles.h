#pragma once

#include <windows.h>

#include <utility>

#include "platform/win32/unique_handle.h"

namespace velstrand::app {

struct FontTraits {
    using Handle = HFONT;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle font) { ::DeleteObject(font); }
};

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle window) { ::DestroyWindow(window); }
};

struct RegionTraits {
    using Handle = HRGN;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle region) { ::DeleteObject(region); }
};

using UniqueFont = UniqueHandle<FontTraits>;
using UniqueRegion = UniqueHandle<RegionTraits>;
// A top-level window that is destroyed with its owner object unless it went away before (see Release).
using UniqueWindow = UniqueHandle<WindowTraits>;

// A registered window class, unregistered when the object goes. Windows of the class must be gone by then.
class RegisteredClass {
  public:
    RegisteredClass() = default;
    RegisteredClass(ATOM atom, HINSTANCE instance) : atom_(atom), instance_(instance) {}
    ~RegisteredClass() {
        if (atom_ != 0) {
            ::UnregisterClassW(MAKEINTATOM(atom_), instance_);
        }
    }
    RegisteredClass(RegisteredClass&& other) noexcept
        : atom_(std::exchange(other.atom_, ATOM{0})), instance_(other.instance_) {}
    RegisteredClass& operator=(RegisteredClass&& other) noexcept {
        if (this != &other) {
            RegisteredClass old(std::move(*this));
            atom_ = std::exchange(other.atom_, ATOM{0});
            instance_ = other.instance_;
        }
        return *this;
    }
    RegisteredClass(const RegisteredClass&) = delete;
    RegisteredClass& operator=(const RegisteredClass&) = delete;

  private:
    ATOM atom_ = 0;
    HINSTANCE instance_ = nullptr;
};

// The wait cursor for as long as the object lives; the window takes no input meanwhile anyway.
class ScopedWaitCursor {
  public:
    ScopedWaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~ScopedWaitCursor() { ::SetCursor(previous_); }
    ScopedWaitCursor(const ScopedWaitCursor&) = delete;
    ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

}  // namespace velstrand::app
