#pragma once

// The bitmap seam: the pixels of one of the program's own bitmap resources,
// as 24-bit blue-green-red rows from the bottom of the picture up, each row
// padded to a multiple of four bytes. On Windows they come from the module's
// bitmap resources; elsewhere from the BMP files linked into the program.
// The pixels stay valid while the object lives; the destructor frees them.
class BitmapSource {
public:
    explicit BitmapSource(unsigned int resourceId);
    ~BitmapSource();
    BitmapSource(const BitmapSource&) = delete;
    BitmapSource& operator=(const BitmapSource&) = delete;

    // False when there is no such bitmap (or it could not be read).
    bool isLoaded() const { return pixels != nullptr; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const void* getPixels() const { return pixels; }

private:
    // The platform's bitmap object, when it has one (the linked-in pictures have none).
    [[maybe_unused]] void* handle = nullptr;
    int width = 0;
    int height = 0;
    const void* pixels = nullptr;
};
