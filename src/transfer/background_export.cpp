#include "background_export.h"

bool BackgroundExport::Start(ExportResult made, std::wstring path, HWND window, UINT done) {
  return task_.Start([made = std::move(made), path = std::move(path)] { return WriteExport(made, path); }, window,
                     done);
}
