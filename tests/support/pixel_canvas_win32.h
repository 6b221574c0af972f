// Test support for pixel tests under Wine: a 32-bit top-down DIB section,
// filled white, bound as the bitmap target of a free-standing drawing
// state that is made current. Drawing goes through the public interface;
// Check compares an area with a small ASCII mask ('#' the foreground, '.'
// the background, other letters named colours) and on a mismatch prints
// both masks and writes the canvas as a BMP into the working folder.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "toolbox/core/memblock.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"

constexpr uint32_t kCanvasWhite = 0xFFFFFF;
constexpr uint32_t kCanvasBlack = 0x000000;

class PixelCanvas {
  public:
    PixelCanvas(int width, int height) : width_(width), height_(height) {
        MemInit(0, -1);
        InitDrawingGlobals();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        Fill(kCanvasWhite);
        state_ = NewDrawingState();
        BindStateTarget(state_, kStateDcBitmap, bitmap_);
        MakeStateCurrent(state_);
    }
    ~PixelCanvas() {
        SetCurrentPort(nullptr);
        DisposeDrawingState(state_);
        DeleteObject(bitmap_);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    DrawingState* state() const { return state_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Fill(uint32_t rgb) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = rgb;
    }
    void SetPixel(int x, int y, uint32_t rgb) {
        GdiFlush();
        bits_[y * width_ + x] = rgb;
    }
    // 0x00RRGGBB.
    uint32_t Pixel(int x, int y) const {
        FlushDrawing();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

    // The area at (x, y) as a mask over the legend; unknown colours '?'.
    std::vector<std::string> Read(int x, int y, int w, int h,
                                  const std::map<char, uint32_t>& legend) const {
        std::vector<std::string> rows;
        for (int row = 0; row < h; ++row) {
            std::string line;
            for (int col = 0; col < w; ++col) {
                uint32_t pixel = Pixel(x + col, y + row);
                char c = '?';
                for (const auto& [key, rgb] : legend)
                    if (rgb == pixel) c = key;
                line += c;
            }
            rows.push_back(line);
        }
        return rows;
    }

    ::testing::AssertionResult Check(int x, int y, const std::vector<std::string>& mask,
                                     std::map<char, uint32_t> legend = {}) const {
        legend.emplace('#', kCanvasBlack);
        legend.emplace('.', kCanvasWhite);
        int h = int(mask.size()), w = mask.empty() ? 0 : int(mask[0].size());
        std::vector<std::string> got = Read(x, y, w, h, legend);
        if (got == mask) return ::testing::AssertionSuccess();
        std::string text = "pixels at (" + std::to_string(x) + ", " + std::to_string(y) + ")\n";
        for (int row = 0; row < h; ++row)
            text += "  want " + mask[size_t(row)] + "   got " + got[size_t(row)] + "\n";
        std::string name = std::string("pixels_") +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bmp";
        WriteBmp(name);
        return ::testing::AssertionFailure() << text << "canvas written to " << name;
    }

    void WriteBmp(const std::string& path) const {
        FlushDrawing();
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return;
        uint32_t imageBytes = uint32_t(width_ * height_ * 4);
        BITMAPFILEHEADER head{};
        head.bfType = 0x4D42; // "BM"
        head.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        head.bfSize = head.bfOffBits + imageBytes;
        BITMAPINFOHEADER info{};
        info.biSize = sizeof info;
        info.biWidth = width_;
        info.biHeight = -height_;
        info.biPlanes = 1;
        info.biBitCount = 32;
        info.biCompression = BI_RGB;
        std::fwrite(&head, sizeof head, 1, file);
        std::fwrite(&info, sizeof info, 1, file);
        std::fwrite(bits_, imageBytes, 1, file);
        std::fclose(file);
    }

    // Bounding box of the pixels that are not the colour; false when none.
    bool BoundsOfNot(uint32_t rgb, RECT* out) const {
        RECT r{width_, height_, -1, -1};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (Pixel(x, y) != rgb) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        *out = r;
        return r.right >= 0;
    }

  private:
    int width_, height_;
    HBITMAP bitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    DrawingState* state_ = nullptr;
};
