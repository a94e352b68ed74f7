#pragma once

#include <cstdint>

// One identifier per text of english_texts.inc, in its order: group and
// name joined, for example `EditorActive`. A language file names its texts
// the same way, and its resource numbers are these values plus one.
enum class TextId : std::uint16_t {
#define CHIMEWATCH_TEXT(group, name, english) group##name,
#include "english_texts.inc"
#undef CHIMEWATCH_TEXT
  Count
};

// No text: Text(kNoText) is empty.
inline constexpr TextId kNoText = TextId::Count;
