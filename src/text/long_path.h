// Names of files that Chimewatch makes beside a target: a temporary copy, a
// probe, a journal. Windows without its long-path switch (off by default)
// refuses a name of MAX_PATH (260) characters or more, unless the name is in
// the extended form "\\?\C:\..." or "\\?\UNC\server\share\...".
#pragma once

#include <string>
#include <string_view>

inline constexpr std::size_t kMaxPathCharacters = 260;  // MAX_PATH, with its NUL

// A full path as it is while it fits in MAX_PATH, else in the extended
// form. A name that is not a full path (relative, or already extended or a
// device name) stays as it is.
std::wstring LongPathForm(std::wstring_view fullPath);

// `fullTarget` followed by `suffix`, in the extended form where the whole
// name would not fit in MAX_PATH.
std::wstring NameBeside(std::wstring_view fullTarget, std::wstring_view suffix);
