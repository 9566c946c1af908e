#pragma once
// The release, in one place: the version resource of clutterix.exe (app/win32/clutterix.rc), its
// manifest (made by the build from these lines), the about box, the update check's query and the
// setup program (scripts/package.sh reads the lines below) all take it from here.
// Plain macros, because the resource compiler reads this file too.
#define CX_VERSION_MAJOR 1
#define CX_VERSION_MINOR 2
#define CX_STRINGIFY_(x) #x
#define CX_STRINGIFY(x) CX_STRINGIFY_(x)
#define CX_VERSION_TEXT CX_STRINGIFY(CX_VERSION_MAJOR) "." CX_STRINGIFY(CX_VERSION_MINOR)
// Orders the releases for the update check: the script answers with the newest one's number.
#define CX_RELEASE_NUMBER 3
#define CX_PRODUCT_NAME "Clutterix"
#define CX_COMPANY_NAME "Torvex"
#define CX_DESCRIPTION "Clutterix Disk Cleaner"
