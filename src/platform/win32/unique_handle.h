#pragma once

#include <windows.h>

#include <utility>

namespace velstrand {

// An owning, move-only Win32 handle. Handle kinds disagree on their "no handle" value (a find handle uses
// INVALID_HANDLE_VALUE, a process handle nullptr), so each kind names its own through Traits.
template <typename Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }

  private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::FindClose(handle); }
};

// CreateFileW's handle, and CreateToolhelp32Snapshot's.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};

struct ModuleHandleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle module) { ::FreeLibrary(module); }
};

// Process and thread handles: nullptr means none.
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
// FindFirstFileW's handle: INVALID_HANDLE_VALUE means none.
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
// A file or a snapshot: INVALID_HANDLE_VALUE means none.
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
// A DLL this process loaded itself, freed when the object goes.
using UniqueModule = UniqueHandle<ModuleHandleTraits>;

}  // namespace velstrand
