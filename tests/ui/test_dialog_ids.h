/* Dialogs that exist only in the UI tests (numbers far from the program's). */
#ifndef KOLVANE_TEST_DIALOG_IDS_H
#define KOLVANE_TEST_DIALOG_IDS_H

#define IDD_TEST_FORM 9001
#define IDD_TEST_PAGE 9002
#define IDD_TEST_MISSING 9099

#define IDC_TEST_EDIT 9101
#define IDC_TEST_LIST_COMBO 9103
#define IDC_TEST_DISABLED 9109
#define IDC_TEST_PAGE_EDIT 9201

#endif
