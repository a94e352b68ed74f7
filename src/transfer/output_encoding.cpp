#include "output_encoding.h"

OutputEncoding ChooseOutputEncoding(OutputKind kind, std::string_view firstBytes) {
  switch (kind) {
    case OutputKind::Console: return OutputEncoding::Console;
    case OutputKind::Pipe: return OutputEncoding::Utf8;
    case OutputKind::DiskFile:
      if (firstBytes.empty()) return OutputEncoding::Utf16WithMark;
      return firstBytes.starts_with("\xFF\xFE") ? OutputEncoding::Utf16 : OutputEncoding::Utf8;
  }
  return OutputEncoding::Utf8;
}
