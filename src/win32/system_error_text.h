// What Windows says about an error code.
#pragma once

#include <windows.h>

#include <string>

std::wstring SystemErrorText(DWORD error);
