// What a command-line run prints. Chimewatch is a windows program, so it has
// a standard output only when its starter gave it one (a pipe or a file), or
// through the console of the command prompt that started it.
#pragma once

#include <windows.h>

#include <string_view>

// Writes the text and a line end; nothing when there is nowhere to write.
void WriteToStandardOutput(std::wstring_view text);

// The attached console's screen buffer, opened so that its mode can be read
// and written to; null without a console.
HANDLE OpenConsoleOutput();
