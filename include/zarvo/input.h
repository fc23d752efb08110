#pragma once
/// @file zarvo/input.h
/// The codes of keys, mouse buttons, actions and modifiers that zv::Window's input callbacks
/// receive.

namespace zv {

/// What happened to a key or mouse button, as input callbacks receive it.
enum InputAction { ZV_RELEASE = 0, ZV_PRESS = 1, ZV_REPEAT = 2 };
/// Modifier keys held during an input event: a bit set.
enum InputModifier { ZV_MOD_SHIFT = 1, ZV_MOD_CONTROL = 2, ZV_MOD_ALT = 4, ZV_MOD_SUPER = 8 };
/// Mouse buttons as input callbacks receive them.
enum MouseButton { ZV_MOUSE_LEFT = 0, ZV_MOUSE_RIGHT = 1, ZV_MOUSE_MIDDLE = 2 };
/// Key codes: printable keys are their upper-case ASCII codes ('A' is 65, '1' is 49, space
/// 32); these name some others. Every other key has the value GLFW 3 gives it.
enum Key {
    ZV_KEY_ESCAPE = 256,
    ZV_KEY_ENTER = 257,
    ZV_KEY_TAB = 258,
    ZV_KEY_BACKSPACE = 259,
    ZV_KEY_RIGHT = 262,
    ZV_KEY_LEFT = 263,
    ZV_KEY_DOWN = 264,
    ZV_KEY_UP = 265,
};

}  // namespace zv
