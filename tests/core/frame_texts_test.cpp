#include "shell/frame_texts.h"

#include "document/text.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(WindowTitle, ProgramNameThenTheFileNameAfterTwoSpaces) {
    Document doc;
    documentInit(doc);
    doc.filePath = "C:\\Comptes\\maison.kvn"; // a path alone does not make an open file
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha");
    doc.isOpen = 1;
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha  : [ maison.kvn ]");
    doc.filePath = "C:\\a/b\\Épargne 2026.kvn";
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha  : [ Épargne 2026.kvn ]");
    doc.filePath.clear(); // never saved
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha  : [ sans titre ]");
}

TEST(StatusDate, DayNameThenTheDateOnTwoDigits) {
    CalendarTime time;
    time.year = 2026;
    time.month = 12;
    time.day = 7;
    time.dayOfWeek = -1; // the text must not rely on it
    EXPECT_EQ(statusDateText(time), " Lun - 07/12/2026");
    time.year = 2024;
    time.month = 2;
    time.day = 29;
    EXPECT_EQ(statusDateText(time), " Jeu - 29/02/2024");
}

TEST(StatusTexts, UserAndAccountOnlyWhileAFileIsOpen) {
    Document doc;
    documentInit(doc);
    UserRecord user{};
    setFieldUtf8(user.name, "Hélène");
    doc.currentUser = doc.users.append(user);
    AccountRecord account{};
    setFieldUtf8(account.name, "Épargne");
    account.id = Account | 0;
    doc.currentAccount = doc.accounts.append(account);
    EXPECT_EQ(statusUserText(doc), ""); // loaded but not yet open
    EXPECT_EQ(statusAccountText(doc), "");

    doc.isOpen = 1;
    EXPECT_EQ(statusUserText(doc), " Hélène");
    EXPECT_EQ(statusAccountText(doc), " Compte ouvert: Épargne");
    doc.currentUser = nullptr;
    doc.currentAccount = nullptr;
    EXPECT_EQ(statusUserText(doc), "");
    EXPECT_EQ(statusAccountText(doc), "");
}

} // namespace
} // namespace kolvane
