#include "accounts/new_bank_dialog.h"

#include "accounts/logo_fitting.h"
#include "resources/resource_ids.h"
#include "win/file_chooser.h"
#include "win/gdi_handles.h"
#include "win/refusals.h"
#include "win/window_text.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>
#include <wincodec.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace kolvane {
namespace {

// Pictures larger than this are refused rather than decoded.
constexpr LONGLONG kMaxPictureFileBytes = 64ll * 1024 * 1024;
constexpr UINT kMaxPictureSide = 16384;

// Releases a COM interface when it goes out of scope.
template <class Interface> class ComPointer {
  public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer() {
        if (pointer_)
            pointer_->Release();
    }
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    Interface** put() { return &pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

  private:
    Interface* pointer_ = nullptr;
};

// CoInitializeEx and its matching CoUninitialize.
class ComLibrary {
  public:
    ComLibrary() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComLibrary() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComLibrary(const ComLibrary&) = delete;
    ComLibrary& operator=(const ComLibrary&) = delete;
    // Already initialised in another mode still lets us work.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT result_;
};

bool readWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    win::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > kMaxPictureFileBytes)
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    return ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
           read == bytes.size();
}

// A 32-bit top-down DIB section of width x height; `bits` receives its pixels.
HBITMAP makeTopDownBitmap(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Lays straight-alpha BGRA pixels on white and clears the alpha byte.
void flattenOnWhite(std::uint8_t* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* p = pixels + 4 * i;
        const unsigned alpha = p[3];
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<std::uint8_t>((p[c] * alpha + 255 * (255 - alpha) + 127) / 255);
        p[3] = 0;
    }
}

HBITMAP decodeWithImagingComponent(const std::vector<std::uint8_t>& bytes) {
    ComPointer<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()))))
        return nullptr;
    ComPointer<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size()))))
        return nullptr;
    ComPointer<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                decoder.put())))
        return nullptr;
    ComPointer<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put())))
        return nullptr;
    ComPointer<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return nullptr;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > kMaxPictureSide || height > kMaxPictureSide)
        return nullptr;
    void* bits = nullptr;
    win::GdiObject<HBITMAP> bitmap(
        makeTopDownBitmap(static_cast<int>(width), static_cast<int>(height), &bits));
    if (!bitmap || !bits)
        return nullptr;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits))))
        return nullptr;
    flattenOnWhite(static_cast<std::uint8_t*>(bits), std::size_t(width) * height);
    return bitmap.release();
}

// The object library's own picture loader, for what the imaging component
// does not read.
HBITMAP decodeWithPictureLoader(const std::vector<std::uint8_t>& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory)
        return nullptr;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, bytes.data(), bytes.size());
        GlobalUnlock(memory);
    } else {
        GlobalFree(memory);
        return nullptr;
    }
    ComPointer<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
        GlobalFree(memory);
        return nullptr;
    }
    ComPointer<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture.put()))))
        return nullptr;
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture->get_Handle(&handle)) || handle == 0)
        return nullptr;
    // The picture owns its bitmap: keep a copy of our own.
    return static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

bool pictureSize(HBITMAP picture, int& width, int& height) {
    BITMAP info{};
    if (!picture || GetObjectW(picture, sizeof info, &info) == 0)
        return false;
    width = info.bmWidth;
    height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    return width > 0 && height > 0;
}

std::string limitedText1252(HWND dialog, int id, std::size_t limit) {
    std::string text = win::itemText1252(dialog, id);
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

} // namespace

HBITMAP loadPicture(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes))
        return nullptr;
    ComLibrary library;
    if (!library.usable())
        return nullptr;
    if (HBITMAP bitmap = decodeWithImagingComponent(bytes))
        return bitmap;
    return decodeWithPictureLoader(bytes);
}

void drawLogoBox(HDC dc, HBITMAP picture) {
    RECT box{0, 0, kLogoWidth, kLogoHeight};
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    int width = 0;
    int height = 0;
    if (!pictureSize(picture, width, height))
        return;
    const LogoFit fit = fitLogo(width, height);
    if (fit.width <= 0 || fit.height <= 0)
        return;
    win::MemoryDC source(CreateCompatibleDC(dc));
    if (!source)
        return;
    win::SelectedObject selected(source.get(), picture);
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin); // half-tone needs it after the mode
    StretchBlt(dc, fit.x0, fit.y0, fit.width, fit.height, source.get(), 0, 0, width, height,
               SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}

void NewBankDialog::onInit() {
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetWindowPos(item(IDC_BANK_LOGO), nullptr, 0, 0, kLogoWidth, kLogoHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendDlgItemMessageW(window, IDC_BANK_NAME, EM_LIMITTEXT, kBankNameLimit, 0);
    SendDlgItemMessageW(window, IDC_BANK_WEB, EM_LIMITTEXT, kBankWebLimit, 0);
}

bool NewBankDialog::onDrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlID != IDC_BANK_LOGO)
        return false;
    drawBox(draw);
    return true;
}

void NewBankDialog::onCommand(int id, int) {
    if (id == IDC_BANK_BROWSE)
        browse();
}

void NewBankDialog::onCancel() {
    endDialog(0);
}

void NewBankDialog::browse() {
    if (const std::optional<std::string> path = win::chooseFile(window, win::kOpenPicture))
        usePictureFile(utf8ToWide(*path));
}

void NewBankDialog::usePictureFile(const std::wstring& path) {
    HBITMAP chosen = loadPicture(path);
    if (!chosen) {
        // Said at once, not at "OK"; the picture shown so far stays.
        const std::size_t slash = path.find_last_of(L"\\/");
        const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
        win::showMessage(window, L"L'image " + name + utf8ToWide(kUnreadablePictureMessage));
        return;
    }
    releasePicture();
    picture = chosen;
    InvalidateRect(item(IDC_BANK_LOGO), nullptr, TRUE);
}

void NewBankDialog::releasePicture() {
    if (picture)
        DeleteObject(picture);
    picture = nullptr;
}

void NewBankDialog::drawBox(const DRAWITEMSTRUCT& draw) const {
    win::SavedDC saved(draw.hDC);
    SetViewportOrgEx(draw.hDC, draw.rcItem.left, draw.rcItem.top, nullptr);
    drawLogoBox(draw.hDC, picture);
}

void NewBankDialog::onOk() {
    if (!banks)
        return;
    const std::string name = limitedText1252(window, IDC_BANK_NAME, kBankNameLimit);
    if (const Refusal refusal = checkNewBank(name, picture != nullptr))
        return win::refuse(window, refusal);
    const std::string web = limitedText1252(window, IDC_BANK_WEB, kBankWebLimit);
    const int existing = findBank(*banks, name);
    if (existing >= 0 && win::showMessage(window, utf8ToWide(kReplaceBankQuestion),
                                          MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;

    // The blocks are read from the box as it is drawn, in a bitmap of our own
    // so that nothing on the screen can hide it.
    int width = 0;
    int height = 0;
    pictureSize(picture, width, height);
    const LogoFit fit = fitLogo(width, height);
    void* bits = nullptr;
    win::GdiObject<HBITMAP> canvas(makeTopDownBitmap(kLogoWidth, kLogoHeight, &bits));
    win::MemoryDC memory(CreateCompatibleDC(nullptr));
    if (!canvas || !bits || !memory) {
        win::showStringMessage(window, IDS_OUT_OF_MEMORY);
        return;
    }
    {
        win::SelectedObject selected(memory.get(), canvas.get());
        drawLogoBox(memory.get(), picture);
        GdiFlush();
    }
    const auto* drawn = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint8_t> pixels(kLogoPixelBytes);
    std::vector<std::uint8_t> mask(kLogoMaskBytes);
    buildLogoBlocks(
        fit, [drawn](int x, int y) { return drawn[y * kLogoWidth + x] & 0xFFFFFFu; }, pixels.data(),
        mask.data());

    const std::optional<int> position =
        storeBank(*banks, existing, name, web, pixels.data(), mask.data());
    if (!position) {
        win::showStringMessage(window, IDS_OUT_OF_MEMORY);
        return;
    }
    storedPosition = *position;
    endDialog(1);
}

win::DialogResult<win::DialogEnd, NewBankOut> runNewBankDialog(NewBankDialog& dialog, HWND owner) {
    dialog.storedPosition = -1;
    const win::DialogEnd end = win::confirmedOrCancelled(dialog.runModal(owner, IDD_NEW_BANK));
    return {end, {end == win::DialogEnd::Confirmed ? dialog.storedPosition : -1}};
}

} // namespace kolvane
