#include "screen_picture.h"

#include <fstream>
#include <vector>

namespace velstrand::demo {

namespace {

// The screen's device context, and one compatible with it, for as long as the object lives.
class ScreenCopy {
  public:
    ScreenCopy(int width, int height)
        : screen_(::GetDC(nullptr)),
          memory_(::CreateCompatibleDC(screen_)),
          bitmap_(::CreateCompatibleBitmap(screen_, width, height)),
          previous_(::SelectObject(memory_, bitmap_)) {}
    ~ScreenCopy() {
        ::SelectObject(memory_, previous_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(memory_);
        ::ReleaseDC(nullptr, screen_);
    }
    ScreenCopy(const ScreenCopy&) = delete;
    ScreenCopy& operator=(const ScreenCopy&) = delete;

    bool Take(const RECT& area) {
        return ::BitBlt(memory_, 0, 0, area.right - area.left, area.bottom - area.top, screen_, area.left, area.top,
                        SRCCOPY) != FALSE;
    }
    // Bottom-up rows of blue, green and red, each padded to four bytes.
    bool Pixels(BITMAPINFO& info, std::vector<char>& pixels) {
        ::SelectObject(memory_, previous_);
        const bool read = ::GetDIBits(memory_, bitmap_, 0, static_cast<UINT>(info.bmiHeader.biHeight), pixels.data(),
                                      &info, DIB_RGB_COLORS) != 0;
        ::SelectObject(memory_, bitmap_);
        return read;
    }

  private:
    HDC screen_;
    HDC memory_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

}  // namespace

bool SaveScreenPicture(const RECT& area, const std::filesystem::path& file) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    ScreenCopy copy(width, height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<char> pixels(rowBytes * static_cast<std::size_t>(height));
    if (!copy.Take(area) || !copy.Pixels(info, pixels)) {
        return false;
    }
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
    header.bfSize = static_cast<DWORD>(header.bfOffBits + pixels.size());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

}  // namespace velstrand::demo
