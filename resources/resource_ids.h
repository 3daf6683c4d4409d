#pragma once
// Resource identifiers shared by the resource script and the host code.
// Plain macros only: the resource compiler reads this file too.

#define IDI_SAVER 106        // the program's icon group
#define IDI_SAVER_CLASS 100  // the icon the window class asks for (none: the class stays without one)
#define IDD_ABOUT_BOX 2003
#define IDC_WEB_LINK 1001
#define IDC_MAIL_LINK 1002
#define IDS_DESCRIPTION 1

// Each address is both the link's text and what the link opens, so each must
// fit its one-line static of the box (80 and 65 dialog units wide).
#define QUORVELIN_WEB_SITE "http://ruk.example/"
#define QUORVELIN_MAIL_ADDRESS "saver@ruk.example"
