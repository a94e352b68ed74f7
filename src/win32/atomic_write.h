// Writing an export so that a failure never leaves half a file: the bytes go
// to a new file in the same folder, which then takes the old one's place.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Returns what went wrong, or nullopt when the file now holds `bytes`. On
// failure a file that was at `path` is left as it was.
std::optional<std::wstring> WriteFileAtomically(std::wstring_view path, std::string_view bytes);
