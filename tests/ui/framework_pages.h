// Identifiers of the dialogs that the framework tests build their pages from.
#pragma once

#define IDD_TEST_HOST 900
#define IDC_TEST_FRAME 901
#define IDC_TEST_TABS 902
#define IDC_TEST_LIST 903
#define IDD_TEST_FORM 910
#define IDC_TEST_EDIT 911
#define IDC_TEST_COMBO 912
#define IDC_TEST_LISTBOX 913
#define IDC_TEST_BUTTON 914
#define IDD_TEST_PLAIN 920
