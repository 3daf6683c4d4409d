#include "host/wayland/wayland_keyboard.h"

#include <sys/mman.h>
#include <unistd.h>

#include <wayland-client-protocol.h>
#include <xkbcommon/xkbcommon.h>

namespace {
// XKB numbers keys 8 above the kernel's codes.
constexpr std::uint32_t kXkbKeyOffset = 8;
} // namespace

WaylandKeyboard::WaylandKeyboard() : context(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}

WaylandKeyboard::~WaylandKeyboard()
{
    xkb_state_unref(state);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
}

void WaylandKeyboard::takeKeymap(std::uint32_t format, int fd, std::uint32_t size)
{
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || context == nullptr || size == 0) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED)
        return;
    // The text ends in a NUL within size.
    xkb_keymap* read = xkb_keymap_new_from_string(context, static_cast<const char*>(text), XKB_KEYMAP_FORMAT_TEXT_V1,
                                                  XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (read == nullptr)
        return;
    xkb_state* fresh = xkb_state_new(read);
    if (fresh == nullptr) {
        xkb_keymap_unref(read);
        return;
    }
    xkb_state_unref(state);
    xkb_keymap_unref(keymap);
    keymap = read;
    state = fresh;
}

void WaylandKeyboard::takeModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                                    std::uint32_t group)
{
    if (state != nullptr)
        xkb_state_update_mask(state, depressed, latched, locked, 0, 0, group);
}

bool WaylandKeyboard::closesWindow(std::uint32_t key) const
{
    if (state == nullptr)
        return false;
    const xkb_keysym_t symbol = xkb_state_key_get_one_sym(state, key + kXkbKeyOffset);
    return symbol == XKB_KEY_Escape || symbol == XKB_KEY_q || symbol == XKB_KEY_Q;
}
