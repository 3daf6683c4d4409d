#include "host/offscreen/contact_sheet.h"

#include <algorithm>
#include <string>

namespace {
const int kGap = 4;
const int kGlyphScale = 2;
const int kLabelHeight = 5 * kGlyphScale + 2 * kGap;
const std::uint8_t kBackdrop = 40;

// Digits in a 3 x 5 pixel font, one row per entry, most significant bit on the left.
const std::uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void fill(std::vector<std::uint8_t>& rgb, int width, int x, int y, int w, int h, std::uint8_t value)
{
    for (int row = y; row < y + h; ++row)
        std::fill_n(rgb.begin() + (static_cast<std::ptrdiff_t>(row) * width + x) * 3, w * 3, value);
}
} // namespace

ContactSheet::ContactSheet(int frameWidth, int frameHeight, int columns, int maxTileWidth)
    : frameWidth(std::max(1, frameWidth)), frameHeight(std::max(1, frameHeight)),
      columns(std::max(1, columns)), factor(1), tileWidth(0), tileHeight(0), tiles()
{
    const int widest = std::max(1, maxTileWidth);
    factor = (this->frameWidth + widest - 1) / widest;
    tileWidth = std::max(1, this->frameWidth / factor);
    tileHeight = std::max(1, this->frameHeight / factor);
}

void ContactSheet::add(long frameNumber, const std::vector<std::uint8_t>& rgb)
{
    if (rgb.size() != static_cast<std::size_t>(frameWidth) * frameHeight * 3)
        return;
    Tile tile{frameNumber, std::vector<std::uint8_t>(static_cast<std::size_t>(tileWidth) * tileHeight * 3)};
    // Box filter: each tile pixel is the mean of a factor x factor block.
    const int block = factor * factor;
    for (int y = 0; y < tileHeight; ++y) {
        for (int x = 0; x < tileWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += rgb[(static_cast<std::size_t>(y * factor + dy) * frameWidth + x * factor + dx) * 3 + c];
                tile.rgb[(static_cast<std::size_t>(y) * tileWidth + x) * 3 + c] = static_cast<std::uint8_t>(sum / block);
            }
        }
    }
    tiles.push_back(std::move(tile));
}

int ContactSheet::getWidth() const
{
    const int shown = std::max(1, std::min(columns, static_cast<int>(tiles.size())));
    return kGap + shown * (tileWidth + kGap);
}

int ContactSheet::getHeight() const
{
    const int rows = std::max(1, (static_cast<int>(tiles.size()) + columns - 1) / columns);
    return kGap + rows * (tileHeight + kLabelHeight);
}

std::vector<std::uint8_t> ContactSheet::render() const
{
    const int width = getWidth();
    const int height = getHeight();
    std::vector<std::uint8_t> sheet(static_cast<std::size_t>(width) * height * 3, kBackdrop);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const int left = kGap + static_cast<int>(i % columns) * (tileWidth + kGap);
        const int top = kGap + static_cast<int>(i / columns) * (tileHeight + kLabelHeight);
        for (int row = 0; row < tileHeight; ++row)
            std::copy_n(tiles[i].rgb.begin() + static_cast<std::ptrdiff_t>(row) * tileWidth * 3, tileWidth * 3,
                        sheet.begin() + (static_cast<std::ptrdiff_t>(top + row) * width + left) * 3);

        // The frame number, in white under the tile's left edge.
        const std::string label = std::to_string(tiles[i].frameNumber);
        int x = left;
        const int y = top + tileHeight + kGap;
        for (char digit : label) {
            if (digit < '0' || digit > '9')
                continue;
            if (x + 4 * kGlyphScale > left + tileWidth)
                break;
            const std::uint8_t* glyph = kDigits[digit - '0'];
            for (int gy = 0; gy < 5; ++gy)
                for (int gx = 0; gx < 3; ++gx)
                    if (glyph[gy] & (4 >> gx))
                        fill(sheet, width, x + gx * kGlyphScale, y + gy * kGlyphScale, kGlyphScale, kGlyphScale, 255);
            x += 4 * kGlyphScale;
        }
    }
    return sheet;
}
