#include "tests/win32/screen_capture.h"

#include <cstdio>

bool ScreenCapture::take()
{
    width_ = GetSystemMetrics(SM_CXSCREEN);
    height_ = GetSystemMetrics(SM_CYSCREEN);
    bgr_.assign(static_cast<size_t>(width_) * height_ * 4, 0);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width_, height_);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool ok = BitBlt(memory, 0, 0, width_, height_, screen, 0, 0, SRCCOPY) != 0;
    SelectObject(memory, old);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ok = ok && GetDIBits(memory, bitmap, 0, height_, bgr_.data(), &info, DIB_RGB_COLORS) == height_;
    // The fourth byte carries whatever alpha the GL buffer held; viewers would take it for transparency.
    for (size_t i = 3; i < bgr_.size(); i += 4)
        bgr_[i] = 0xFF;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

Rgb ScreenCapture::pixel(int x, int y) const
{
    const unsigned char* p = &bgr_[(static_cast<size_t>(y) * width_ + x) * 4];
    return Rgb{p[2], p[1], p[0]};
}

bool ScreenCapture::saveBmp(const std::string& path) const
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = -height_;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(header);
    fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + bgr_.size());
    bool ok = std::fwrite(&fileHeader, sizeof(fileHeader), 1, file) == 1 &&
              std::fwrite(&header, sizeof(header), 1, file) == 1 &&
              std::fwrite(bgr_.data(), 1, bgr_.size(), file) == bgr_.size();
    return std::fclose(file) == 0 && ok;
}
