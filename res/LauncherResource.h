// Resource identifiers of lkrun3.exe.
#pragma once

#define IDR_MAINFRAME         128
#define IDD_LAUNCHPASSWORD    130

#define IDC_PROGRAM           1005
#define IDC_PASSWORD          1006
#define IDC_PROMPT            1007

#ifndef IDC_STATIC
#define IDC_STATIC            (-1)
#endif
