// Dialog 212 "Nouvelle banque": adds a bank with its logo to the bank
// directory, or replaces one of the same name.
#pragma once

#include "accounts/bank_directory.h"
#include "win/dialog_result.h"
#include "win/window_object.h"

#include <windows.h>

#include <string>

namespace kolvane {

struct NewBankDialog : win::DialogObject<NewBankDialog> {
    HBITMAP picture = nullptr; // the picture chosen with "Parcourir", owned
    BankDirectory* banks = nullptr;
    int storedPosition = -1; // where "OK" stored the bank

    explicit NewBankDialog(BankDirectory* directory) : banks(directory) {}
    ~NewBankDialog() { releasePicture(); }
    NewBankDialog(const NewBankDialog&) = delete;
    NewBankDialog& operator=(const NewBankDialog&) = delete;

    void onInit();
    bool onDrawItem(const DRAWITEMSTRUCT& draw);
    void onCommand(int id, int code);
    void onOk(); // the bank stored, or the refusal said
    void onCancel();
    void onDestroy() { releasePicture(); }
    // Replaces the picture by the one of `path` (none when it cannot be
    // read) and redraws the logo box: what "Parcourir" does once a file is
    // chosen.
    void usePictureFile(const std::wstring& path);

  private:
    void browse();
    void drawBox(const DRAWITEMSTRUCT& item) const;
    void releasePicture();
};

// Confirmed once the bank is stored at `position` in the directory given to
// the dialog (added, or in place of the one of the same name).
struct NewBankOut {
    int position = -1;
};
win::DialogResult<win::DialogEnd, NewBankOut> runNewBankDialog(NewBankDialog& dialog, HWND owner);

// Decodes a picture file (BMP, JPEG, GIF, PNG...) into a 32-bit bitmap of
// its size in pixels; transparent parts are laid on white. Null when the file
// cannot be read or decoded.
HBITMAP loadPicture(const std::wstring& path);

// Draws the logo box as "Nouvelle banque" shows it: white, with the picture
// stretched (half-tone) into its place inside the 96 x 48 logo.
void drawLogoBox(HDC dc, HBITMAP picture);

} // namespace kolvane
