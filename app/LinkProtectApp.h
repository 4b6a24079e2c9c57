#pragma once

#include "framework/Framework.h"

class CLinkProtectApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
