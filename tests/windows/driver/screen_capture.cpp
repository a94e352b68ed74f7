// What is on the screen, read back from the screen DC.
#include "driver.h"

namespace driver {
namespace {

Image ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  Image image{width, height, {}};
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), image.pixels.data(), &format, DIB_RGB_COLORS) != height)
    return {};
  for (auto& pixel : image.pixels) pixel &= 0x00FFFFFFu;
  return image;
}

}  // namespace

Image CaptureScreen(HWND windowOrNull) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (windowOrNull && !GetWindowRect(windowOrNull, &area)) return {};
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const bool copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);
  Image image = copied ? ReadBitmap(memory, bitmap, width, height) : Image{};
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

Image RenderIcon(HICON icon, int width, int height, std::uint32_t background) {
  if (!icon || width <= 0 || height <= 0) return {};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(RGB(background >> 16, (background >> 8) & 0xFF, background & 0xFF));
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  SelectObject(memory, previous);
  Image image = ReadBitmap(memory, bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

bool SaveScreenshotPng(const std::wstring& path, HWND windowOrNull) {
  const Image image = CaptureScreen(windowOrNull);
  return !image.pixels.empty() && WritePng(path, image);
}

}  // namespace driver
