// Resource numbers of the setup program.
#pragma once

// Icon of the setup program and of its background window.
#define IDI_SETUP 101

// Dialog templates of the wizard pages (276 x 140 units; the side picture owns the left 80).
#define IDD_AGREEMENT 101
#define IDD_NOTICE 102
#define IDD_USER_DETAILS 104
#define IDD_INSTALL_OPTIONS 105
#define IDD_PROXY 106
// Dialog template of the progress dialog.
#define IDD_PROGRESS 130

// Agreement page.
#define IDC_AGREEMENT_TEXT 400
// Notice page.
#define IDC_NOTICE_TEXT 500
// User details page.
#define IDC_REGISTER_TEXT 600
#define IDC_FULL_NAME_LABEL 601
#define IDC_COMPANY_LABEL 602
#define IDC_EMAIL_LABEL 603
#define IDC_COUNTRY_LABEL 604
#define IDC_FULL_NAME 605
#define IDC_COMPANY 606
#define IDC_EMAIL 607
#define IDC_COUNTRY 608
// Install options page.
#define IDC_DESKTOP_SHORTCUT 701
#define IDC_INSTALL_PATH_LABEL 703
#define IDC_INSTALL_PATH 704
#define IDC_BROWSE 705
// Proxy page: each row has six consecutive controls from its first id.
#define IDC_PROXY_INTRODUCTION 800
#define IDC_PROXY_NOTE 801
#define IDC_HTTP_PROXY_ROW 802
#define IDC_VERONICA_PROXY_ROW 808
// Progress dialog.
#define IDC_PROGRESS_BAR 900
#define IDC_PROGRESS_STATUS 901

// Type of the payload resources.
#define PAYLOAD_RESOURCE_TYPE "CUSTOM"
