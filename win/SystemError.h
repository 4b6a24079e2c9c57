// The system's own words for an error code.
#pragma once

#include <windows.h>

#include <string>

// The system's text for an error code without the trailing line end; "Error N." when it has none.
std::string SystemErrorText(DWORD error);
