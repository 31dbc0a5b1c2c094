// Owners of GDI objects, device contexts and system handles: each releases
// what it holds when it goes out of scope, so that no drawing path leaks a
// handle when it returns early. All are move-only.
//
//     GdiObject<HFONT> font(CreateFontIndirectW(&logFont));
//     PaintDC dc(window);
//     SelectedObject keep(dc.get(), font.get());   // put back on return
//     DrawTextW(dc.get(), ...);
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace kolvane::win {

// A handle with a release function; `Invalid` marks the empty state.
template <class Handle, class Release, Handle Invalid = Handle{}> class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }
    // Gives up ownership without releasing.
    Handle release() { return std::exchange(handle_, Invalid); }
    void reset(Handle handle = Invalid) {
        Handle old = std::exchange(handle_, handle);
        if (old != Invalid)
            Release{}(old);
    }

  private:
    Handle handle_ = Invalid;
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DestroyImageList {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct DeleteDeviceContext {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

// Fonts, brushes, pens, bitmaps and regions made by this program (not the
// stock objects, which must never be deleted).
template <class Handle> using GdiObject = UniqueHandle<Handle, DeleteGdiObject>;
// Icons made with CreateIcon/LoadImage without LR_SHARED.
using IconHandle = UniqueHandle<HICON, DestroyIconHandle>;
using ImageListHandle = UniqueHandle<HIMAGELIST, DestroyImageList>;
// Threads, events, files: CloseHandle. Files opened with CreateFile use
// FileHandle, whose empty value is INVALID_HANDLE_VALUE.
using KernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
// A memory device context (CreateCompatibleDC).
using MemoryDC = UniqueHandle<HDC, DeleteDeviceContext>;

class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    ~FileHandle() { close(); }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    void close() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
    }
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The device context of a window's client area (GetDC / ReleaseDC).
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint around a WM_PAINT handler.
class PaintDC {
  public:
    explicit PaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Saves the whole state of a device context (SaveDC / RestoreDC).
class SavedDC {
  public:
    explicit SavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    ~SavedDC() {
        if (saved_ != 0)
            RestoreDC(dc_, saved_);
    }

  private:
    HDC dc_;
    int saved_;
};

} // namespace kolvane::win
