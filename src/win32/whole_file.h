// Reading a whole file into memory, refused unread above a size.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

struct FileBytes {
  bool read = false;
  bool tooLarge = false;  // larger than asked for: not a byte was read
  DWORD error = 0;        // otherwise, when not read: why
  std::string bytes;      // when read
};

FileBytes ReadWholeFile(std::wstring_view path, unsigned long long maxBytes);
