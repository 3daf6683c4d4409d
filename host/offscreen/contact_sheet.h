#pragma once
#include <cstdint>
#include <vector>

// A grid of reduced frames, each labelled with its frame number below it.
class ContactSheet {
public:
    // Frames of frameWidth x frameHeight are reduced by a whole factor to at
    // most maxTileWidth wide and laid out columns to a row.
    ContactSheet(int frameWidth, int frameHeight, int columns = 4, int maxTileWidth = 320);

    // rgb: the frame's RGB rows, top row first.
    void add(long frameNumber, const std::vector<std::uint8_t>& rgb);

    // The sheet so far, RGB rows top first; at least one tile in size.
    int getWidth() const;
    int getHeight() const;
    std::vector<std::uint8_t> render() const;

private:
    struct Tile {
        long frameNumber;
        std::vector<std::uint8_t> rgb;
    };

    int frameWidth;
    int frameHeight;
    int columns;
    int factor;
    int tileWidth;
    int tileHeight;
    std::vector<Tile> tiles;
};
