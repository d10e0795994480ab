#pragma once
#define IDD_TEST_DIALOG 201
#define IDC_OWNER_DRAWN 1001
