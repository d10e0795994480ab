#pragma once

// Resource identifiers of the test dialog.
#define IDD_TEST_DIALOG 201
#define IDC_OWNER_DRAWN 1001
#define IDC_FINISH 1002
