#pragma once

#include "framework/Dialog.h"

// The splash window: the product picture (bitmap 173) in a captionless popup, titled "Movara" for the task bar.
class CSplashDlg : public CDialog {
public:
    CSplashDlg();

protected:
    BOOL OnInitDialog() override;

private:
    HICON icon = nullptr;
};
