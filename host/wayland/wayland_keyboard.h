#pragma once
#include <cstdint>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

// The seat's keyboard layout, as the compositor hands it over, so that a
// window closes on the key that reads Escape or q whatever the layout.
class WaylandKeyboard {
public:
    WaylandKeyboard();
    ~WaylandKeyboard();
    WaylandKeyboard(const WaylandKeyboard&) = delete;
    WaylandKeyboard& operator=(const WaylandKeyboard&) = delete;

    // The keymap event: an XKB text keymap in a file the compositor shares.
    // Takes the descriptor and closes it. A keymap that does not read
    // leaves no layout, and keys then end nothing in a window.
    void takeKeymap(std::uint32_t format, int fd, std::uint32_t size);
    void takeModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked, std::uint32_t group);
    // A key from the key event (an evdev code) that ends a window's show.
    bool closesWindow(std::uint32_t key) const;

private:
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
};
