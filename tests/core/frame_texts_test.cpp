#include "shell/frame_texts.h"

#include "document/text.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

CalendarTime date(int year, int month, int day) {
    CalendarTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.dayOfWeek = -1; // the text must not rely on it
    return time;
}

TEST(WindowTitle, WithoutFileItIsTheProgramName) {
    Document doc;
    documentInit(doc);
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha");
    doc.filePath = "C:\\Comptes\\maison.kvn"; // a path alone does not make an open file
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha");
}

TEST(WindowTitle, SavedFileShowsOnlyItsNameAfterTwoSpaces) {
    Document doc;
    documentInit(doc);
    doc.isOpen = 1;
    doc.filePath = "C:\\Users\\Marie\\Comptes\\maison.kvn";
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha  : [ maison.kvn ]");
    doc.filePath = "/home/marie/banque.kvn";
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha  : [ banque.kvn ]");
    doc.filePath = "C:\\a/b\\Épargne 2026.kvn";
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha  : [ Épargne 2026.kvn ]");
    doc.filePath = "seul.kvn";
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha  : [ seul.kvn ]");
}

TEST(WindowTitle, NewFileIsSansTitre) {
    Document doc;
    documentInit(doc);
    doc.isOpen = 1;
    EXPECT_EQ(windowTitle(doc), "Kolvane v.Alpha  : [ sans titre ]");
}

TEST(FrameTexts, WelcomeTitleFillsThePlaceholder) {
    EXPECT_EQ(fillPlaceholder("Bienvenue dans %s.", "Kolvane v.Alpha"),
              "Bienvenue dans Kolvane v.Alpha.");
    EXPECT_EQ(fillPlaceholder("Sans marque", "x"), "Sans marque");
}

TEST(StatusDate, DayNameThenTheDateOnTwoDigits) {
    EXPECT_EQ(statusDateText(date(2026, 12, 7)), " Lun - 07/12/2026");
    EXPECT_EQ(statusDateText(date(2026, 1, 4)), " Dim - 04/01/2026");
    EXPECT_EQ(statusDateText(date(2024, 2, 29)), " Jeu - 29/02/2024");
    EXPECT_EQ(statusDateText(date(2000, 1, 1)), " Sam - 01/01/2000");
    EXPECT_EQ(statusDateText(date(2025, 10, 31)), " Ven - 31/10/2025");
}

TEST(StatusTexts, UserAndAccountOnlyWhileAFileIsOpen) {
    Document doc;
    documentInit(doc);
    EXPECT_EQ(statusUserText(doc), "");
    EXPECT_EQ(statusAccountText(doc), "");

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
