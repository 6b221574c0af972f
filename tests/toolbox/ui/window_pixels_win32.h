// Test support: the pixels of a real window's client area, read back from
// its device context as 0x00RRGGBB, row by row.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

struct WindowPixels {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y * width + x)]; }
    // Pixels of the colour in a rectangle.
    int Count(int x, int y, int w, int h, uint32_t rgb) const {
        int n = 0;
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col)
                n += At(col, row) == rgb;
        return n;
    }
};

inline WindowPixels ReadWindowPixels(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    WindowPixels out;
    out.width = client.right;
    out.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = out.width;
    info.bmiHeader.biHeight = -out.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ before = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, out.width, out.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    auto* p = static_cast<uint32_t*>(bits);
    out.pixels.assign(p, p + out.width * out.height);
    for (uint32_t& v : out.pixels)
        v &= 0xFFFFFF;
    SelectObject(memory, before);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    DeleteObject(bitmap);
    return out;
}
