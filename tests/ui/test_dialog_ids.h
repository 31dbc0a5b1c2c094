/* Dialogs that exist only in the UI tests (numbers far from the program's). */
#ifndef KOLVANE_TEST_DIALOG_IDS_H
#define KOLVANE_TEST_DIALOG_IDS_H

#define IDD_TEST_FORM 9001
#define IDD_TEST_PAGE 9002
#define IDD_TEST_MISSING 9099

#endif
