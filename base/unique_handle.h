// Owners of system handles: one owner closes its handle exactly once, when it goes out of scope,
// is reset or is assigned another. An owner moves and never copies, and gives the raw handle only
// when asked (get() to pass it on, release() to give up ownership), so no copy of a handle can be
// closed behind the owner's back.
//
// A handle out of a function's out-parameter goes through a raw local first and into its owner
// only once the call has succeeded: what a failed call leaves there is never closed.
#pragma once
#include <windows.h>
#include <winsock.h>

template <typename Traits>
class UniqueHandle {
public:
    using Raw = typename Traits::Raw;

    UniqueHandle() = default;
    explicit UniqueHandle(Raw raw) : raw_(raw) {}
    UniqueHandle(UniqueHandle&& from) noexcept : raw_(from.release()) {}
    UniqueHandle& operator=(UniqueHandle&& from) noexcept {
        reset(from.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    explicit operator bool() const { return Traits::IsOpen(raw_); }
    Raw get() const { return raw_; }
    // The caller owns the handle from now on; the owner is empty.
    Raw release() {
        Raw raw = raw_;
        raw_ = Traits::Empty();
        return raw;
    }
    // Closes what is held (if anything), then holds raw.
    void reset(Raw raw = Traits::Empty()) {
        Raw old = raw_;
        raw_ = raw;
        if (Traits::IsOpen(old)) Traits::Close(old);
    }

private:
    Raw raw_ = Traits::Empty();
};

// Threads, events, semaphores, processes and files. CreateFile fails with INVALID_HANDLE_VALUE
// where the others fail with nullptr: neither is open, so one owner serves both.
struct KernelHandle {
    using Raw = HANDLE;
    static Raw Empty() { return nullptr; }
    static bool IsOpen(Raw raw) { return raw != nullptr && raw != INVALID_HANDLE_VALUE; }
    static void Close(Raw raw) { CloseHandle(raw); }
};

// Keys, libraries, GDI objects, icons and menus: nullptr when there is none, one call to close.
// No font, brush or pen may still be selected into a device context when it goes.
template <typename Handle, auto CloseFunction>
struct NullableHandle {
    using Raw = Handle;
    static Raw Empty() { return nullptr; }
    static bool IsOpen(Raw raw) { return raw != nullptr; }
    static void Close(Raw raw) { CloseFunction(raw); }
};

struct SocketHandle {
    using Raw = SOCKET;
    static Raw Empty() { return INVALID_SOCKET; }
    static bool IsOpen(Raw raw) { return raw != INVALID_SOCKET; }
    static void Close(Raw raw) { closesocket(raw); }
};

using OwnedHandle = UniqueHandle<KernelHandle>;
using OwnedKey = UniqueHandle<NullableHandle<HKEY, RegCloseKey>>;
using OwnedSocket = UniqueHandle<SocketHandle>;
using OwnedLibrary = UniqueHandle<NullableHandle<HMODULE, FreeLibrary>>;
using OwnedFont = UniqueHandle<NullableHandle<HFONT, DeleteObject>>;
using OwnedBrush = UniqueHandle<NullableHandle<HBRUSH, DeleteObject>>;
using OwnedIcon = UniqueHandle<NullableHandle<HICON, DestroyIcon>>;
using OwnedMenu = UniqueHandle<NullableHandle<HMENU, DestroyMenu>>;
