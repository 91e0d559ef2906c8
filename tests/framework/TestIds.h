#pragma once

// Resources of the framework tests (FrameworkTests.rc).
#define IDD_TEST_DIALOG 100
#define IDD_MISSING_DIALOG 199
#define IDC_TEST_EDIT 1001
#define IDC_TEST_BUTTON 1002
