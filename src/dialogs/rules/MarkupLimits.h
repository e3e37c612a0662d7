#pragma once
// Limits and fixed sizes shared by the mark-up rules and the dialog window.
#include <cstdint>

constexpr int32_t MARKUP_MAX_CONTROLS = 32;   // mark-up controls and buttons together
constexpr int32_t MARKUP_MAX_LABEL = 255;     // characters of a label, a button label or a list item
constexpr int32_t MARKUP_ITEM_HEIGHT = 15;    // pixels of one owner-drawn list item
// Coordinates stay within what a 16-bit WM_SIZE word and every Windows version can carry, so
// open-ended numbers in a mark-up text ("<V99999999>") cannot overflow the layout arithmetic.
constexpr int32_t MARKUP_MAX_COORD = 32767;

// Control identifiers the window procedure finds its controls by.
constexpr int32_t ID_SEPARATOR = 101;
constexpr int32_t ID_MESSAGE = 102;     // the message text, made after every other control
constexpr int32_t ID_STATIC = -1;
constexpr int32_t ID_INPUT = 400;
constexpr int32_t ID_PATH = 401;
constexpr int32_t ID_PATH_EDIT = 402;
constexpr int32_t ID_PATH_BROWSE = 403;
constexpr int32_t ID_CHECK_FIRST = 500;   // + box number 0..15
constexpr int32_t ID_ACCEPT_BOX = 515;    // check box 15, the acceptance box of flag 2
constexpr int32_t ID_BUTTON_FIRST = 1000; // + position in the button specification

// Flags of tag letter 'F'.
constexpr int32_t MARKUP_FLAG_PLAIN = 1;    // no white message band
constexpr int32_t MARKUP_FLAG_ACCEPT = 2;   // default button follows check box 15
