// How a command-line run's summary is encoded, by where its output goes: a
// console takes UTF-16 through the console's own call; a new file gets
// UTF-16 with a byte order mark, which type, PowerShell and Notepad read
// right; a file added to keeps the encoding it has, so that one file never
// mixes two; a pipe gets UTF-8.
#pragma once

#include <string_view>

enum class OutputKind { Console, Pipe, DiskFile };
enum class OutputEncoding { Console, Utf16WithMark, Utf16, Utf8 };

// For a disk file, `firstBytes` are its first bytes (empty: a new file).
OutputEncoding ChooseOutputEncoding(OutputKind kind, std::string_view firstBytes);
