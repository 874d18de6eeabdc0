// Identifiers of the program's resources and controls, shared by the
// resource scripts and the code.
#pragma once

// Dialog templates
#define IDD_ABOUT            100
#define IDD_SETUP            102   // wizard frame
#define IDD_SYSTEM_LANGUAGE  137
#define IDD_WELCOME          138
#define IDD_AGREEMENT        139   // carried in the resources, used by no page
#define IDD_INSTALL          140
#define IDD_PRINTER_SERIES   143

// Icon, bitmaps, strings
#define IDR_MAINFRAME        128
#define IDB_WELCOME          144   // 164 x 314, 8 bpp
#define IDB_HEADER           145   // 53 x 53, 8 bpp
#define IDS_ABOUTBOX         101
#define IDM_ABOUTBOX         0x0010

// Frame 102
#define IDC_PAGE_AREA        1000
#define IDC_BACK             12323
#define IDC_NEXT             12324
#define IDC_FINISH           12325
#define IDC_CANCEL_BUTTON    1061

// Header band of pages 137 and 140
#define IDC_HEADER_GROUP     1040
#define IDC_HEADER_BITMAP    1065

// Welcome page 138
#define IDC_WELCOME_TEXT1    1042
#define IDC_WELCOME_TEXT2    1043
#define IDC_WELCOME_TEXT3    1044
#define IDC_WELCOME_TEXT4    1045

// Agreement template 139
#define IDC_AGREEMENT_TITLE  1046
#define IDC_AGREEMENT_INFO   1047
#define IDC_AGREEMENT_PROMPT 1048
#define IDC_AGREEMENT_TEXT   1019
#define IDC_ACCEPT           1049
#define IDC_DECLINE          1050

// System and language page 137
#define IDC_SYSTEM_TITLE     1051
#define IDC_SYSTEM_SUBTITLE  1052
#define IDC_SYSTEM_GROUP     1053
#define IDC_LANGUAGE_GROUP   1054
#define IDC_CHINESE          1037
#define IDC_ENGLISH          1038
#define IDC_WIN2000          1070
#define IDC_WINXP            1071
#define IDC_WIN2003          1072
#define IDC_VISTA            1073
#define IDC_WIN7             1074

// Printer series page 143
#define IDC_SERIES_TITLE     1055
#define IDC_SETTING_GROUP    1056
#define IDC_DEFAULT_PRINTER  1039
#define IDC_NAME_LABEL       1057
#define IDC_SERIES_NAME      1019
#define IDC_SERIES_LIST      1006
#define IDC_PORT_LABEL       1075
#define IDC_PORT_LIST        1076
#define IDC_ADDRESS_LABEL    1077
#define IDC_ADDRESS          1078
#define IDC_TEST_RECEIPT     1079

// Install page 140
#define IDC_INSTALL_TITLE    1058
#define IDC_INSTALL_SUBTITLE 1059
#define IDC_INSTALL_STATUS   1060
#define IDC_PROGRESS         1035

// About box 100
#define IDC_ABOUT_VERSION    1062
#define IDC_ABOUT_NOTICE     1063
