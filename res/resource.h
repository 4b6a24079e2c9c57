// Resource identifiers of Latchkey.exe.
#pragma once

#define IDD_ABOUTBOX          100
#define IDS_ABOUTBOX          101
#define IDD_LATCHKEY_DIALOG   102
#define IDR_MAINFRAME         128
#define IDD_ADDPASSWORD       129
#define IDD_MASTERPROMPT      132
#define IDD_MASTERPASSWORD    133
#define IDD_REMOVEPASSWORD    134
#define IDD_SHORTCUTS         135
#define IDD_HISTORY           136

#define IDM_ABOUTBOX          0x0010

#define IDC_PROGRAM           1005
#define IDC_PASSWORD          1006
#define IDC_RETYPE            1007
#define IDC_TARGET            1008
// 1009 twice, and both are right: IDC_REMOVE is a button of the main window, IDC_POWEREDBY one of
// the About box. Each id is fixed by its dialog (the templates keep the ids they have always had),
// and an id needs to be unique only within one dialog. Do not renumber either.
#define IDC_REMOVE            1009
#define IDC_POWEREDBY         1009
#define IDC_SETMASTER         1010
#define IDC_ABOUT             1016
#define IDC_CREATE            1018
#define IDC_README            1039
#define IDC_USEORIGINALICON   1046
#define IDC_SHORTCUTS         1050
#define IDC_SHORTCUTLIST      1051
#define IDC_SHOWALL           1052
#define IDC_SUMMARY           1053
#define IDC_LOOKPROGRESS      1054
#define IDC_REFRESH           1055
#define IDC_ADDFOLDER         1056
#define IDC_STOPLOOK          1057
#define IDC_PROTECTSELECTED   1058
#define IDC_REMOVESELECTED    1059
#define IDC_HISTORY           1060
#define IDC_HISTORYLIST       1061
#define IDC_HISTORYCOUNT      1062
#define IDC_SAVEHISTORY       1063
#define IDC_KEPTLIST          1064
#define IDC_KEEPSELECTED      1065
#define IDC_UNKEEPSELECTED    1066
#define IDC_CHECKNOW          1067

#ifndef IDC_STATIC
#define IDC_STATIC            (-1)
#endif
