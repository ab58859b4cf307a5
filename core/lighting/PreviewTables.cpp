#include "core/lighting/PreviewTables.h"

#include <algorithm>
#include <cstddef>

namespace talvenix::lighting::preview {

namespace {

// Key buttons by binding order (core/keys/KeyButtons.h), Fn by its paint-button number.
enum Key : PaintButton {
    A = 0,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z,
    N1,
    N2,
    N3,
    N4,
    N5,
    N6,
    N7,
    N8,
    N9,
    N0,
    Enter,
    Esc,
    Backspace,
    Tab,
    Space,
    Minus,
    Equals,
    LBracket,
    RBracket,
    Backslash,
    Semicolon,
    Quote,
    Grave,
    Comma,
    Period,
    Slash,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    Print,
    Pause,
    Insert,
    Delete,
    Home,
    End,
    PageUp,
    PageDown,
    Up,
    Down,
    Left,
    Right,
    Scroll,
    Caps,
    App,
    LCtrl,
    RCtrl,
    LShift,
    RShift,
    LAlt,
    RAlt,
    LWin,
    RWin,
    Kp1,
    Kp2,
    Kp3,
    Kp4,
    Kp5,
    Kp6,
    Kp7,
    Kp8,
    Kp9,
    Kp0,
    NumLock,
    KpEnter,
    KpDot,
    KpSlash,
    KpStar,
    KpMinus,
    KpPlus,
    Fn = kFnButton,
    x_ = kNoKey,
};
static_assert(KpPlus == 103 && RWin == 86 && Grave == 48 && Print == 64);

constexpr std::array<std::uint8_t, 32> kRise = {1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,
                                                44,  50,  57,  65,  73,  81,  89,  99,  109, 119, 129,
                                                140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<std::uint8_t, 32> kFall = {248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124,
                                                114, 104, 94,  85,  77,  69,  61,  53,  47,  41,  35,
                                                29,  24,  20,  16,  12,  8,   6,   4,   2,   0};

constexpr std::array<Colour, kWheelSize> MakeWheel() {
    std::array<Colour, kWheelSize> w{};
    for (std::size_t j = 0; j < 32; ++j) {
        const std::uint8_t u = kRise[j], d = kFall[j];
        w[j] = MakeColour(255, u, 0);
        w[32 + j] = MakeColour(d, 255, 0);
        w[64 + j] = MakeColour(0, 255, u);
        w[96 + j] = MakeColour(0, d, 255);
        w[128 + j] = MakeColour(u, 0, 255);
        w[160 + j] = MakeColour(255, 0, d);
    }
    return w;
}

// A rising half followed by the same values in reverse.
template <std::size_t Half>
constexpr std::array<std::uint8_t, 2 * Half> Mirrored(const std::array<std::uint8_t, Half>& half) {
    std::array<std::uint8_t, 2 * Half> out{};
    for (std::size_t i = 0; i < Half; ++i) {
        out[i] = half[i];
        out[2 * Half - 1 - i] = half[i];
    }
    return out;
}

constexpr std::array<std::uint8_t, 48> kWaveHalf = {
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

constexpr std::array<std::uint8_t, 64> kBreathingHalf = {
    3,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  16,  18,  20,
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

constexpr std::array<std::uint8_t, 80> kPulseListed = {
    0,   4,   8,   14,  22,  33,  45,  61,  77,  94,  114, 134, 158, 182, 206, 234, 255, 248, 241, 234,
    227, 220, 213, 206, 200, 194, 188, 182, 176, 170, 164, 158, 152, 146, 140, 134, 129, 124, 119, 114,
    109, 104, 99,  94,  89,  85,  81,  77,  73,  69,  65,  61,  57,  53,  49,  45,  42,  39,  36,  33,
    30,  27,  24,  22,  20,  18,  16,  14,  12,  10,  9,   8,   7,   6,   5,   4,   3,   2,   2,   1};

constexpr std::array<std::uint8_t, kPulseRange> MakePulse() {
    std::array<std::uint8_t, kPulseRange> p{};
    for (std::size_t i = 0; i < kPulseListed.size(); ++i) p[i] = kPulseListed[i];
    return p;
}

const PaintButton kBand0[] = {O};
const PaintButton kBand1[] = {N9, I, K, L, P, N0};
const PaintButton kBand2[] = {F8, N8, U, J, M, Comma, Period, Semicolon, LBracket, Minus};
const PaintButton kBand3[] = {F7, N7, Y, H, N, RAlt, Slash, Quote, RBracket, Equals, F9};
const PaintButton kBand4[] = {F6, N6, T, G, B, Fn, RShift, Enter, Backslash, Backspace, F10, F11};
const PaintButton kBand5[] = {F5, N5, R, F, V, Space, App, RCtrl, Delete, Insert, F12};
const PaintButton kBand6[] = {F4, N4, E, D, C, Left, Up, End, Home, Print};
const PaintButton kBand7[] = {F3, N3, W, S, X, Down, Right, PageDown, PageUp, Pause, Scroll};
const PaintButton kBand8[] = {F2, N2, Q, A, Z, LAlt, Kp1, Kp4, Kp7, NumLock};
const PaintButton kBand9[] = {F1, N1, Tab, Caps, LShift, LWin, Kp0, Kp2, Kp5, Kp8, KpSlash};
const PaintButton kBand10[] = {Esc, Grave, LCtrl, KpDot, Kp3, Kp6, Kp9, KpStar};
const PaintButton kBand11[] = {KpEnter, KpPlus, KpMinus};

const std::array<std::span<const PaintButton>, kRingBands> kBands = {
    kBand0, kBand1, kBand2, kBand3, kBand4, kBand5, kBand6, kBand7, kBand8, kBand9, kBand10, kBand11};

}  // namespace

const std::array<GridRow, kGridRows> kGrid = {{
    {x_, x_,  Esc, F1,  F2,    F3,     F4,    x_, F5, F6, F7, F8,
     F9, F10, F11, F12, Print, Scroll, Pause, x_, x_, x_, x_},
    {x_,    Grave,  N1,        N2,        N3,     N4,   N5,     N6,      N7,      N8,     N9,     N0,
     Minus, Equals, Backspace, Backspace, Insert, Home, PageUp, NumLock, KpSlash, KpStar, KpMinus},
    {x_,       Tab,      Q,         W,         E,      R,   T,        Y,   U,   I,   O, P,
     LBracket, RBracket, Backslash, Backslash, Delete, End, PageDown, Kp7, Kp8, Kp9, x_},
    {x_, Caps, A, S, D, F, G, H, J, K, L, Semicolon, Quote, Enter, x_, x_, x_, x_, x_, Kp4, Kp5, Kp6, KpPlus},
    {x_, LShift, Z,      X,      C,  V,  B,  N,   M,   Comma, Period, Slash,
     x_, x_,     RShift, RShift, x_, Up, x_, Kp1, Kp2, Kp3,   KpEnter},
    {LCtrl, LWin,  LAlt, x_,   x_,    x_,  Space, RAlt,  RAlt, Fn, App, x_,
     RCtrl, RCtrl, Left, Down, Right, Kp0, Kp0,   KpDot, x_,   x_, x_},
}};

const std::array<PaintButton, kPreviewKeys> kSnakeOrder = {
    Pause,   Scroll,   Print,     F12,    F11,       F10,      F9,       F8,   F7,     F6,        F5,
    F4,      F3,       F2,        F1,     Esc,       Grave,    Tab,      Caps, LShift, LCtrl,     LWin,
    LAlt,    Space,    RAlt,      Fn,     App,       RCtrl,    Left,     Down, Right,  Kp0,       KpDot,
    KpEnter, KpPlus,   KpMinus,   KpStar, KpSlash,   NumLock,  PageUp,   Home, Insert, Backspace, Equals,
    Minus,   N0,       N9,        N8,     N7,        N6,       N5,       N4,   N3,     N2,        N1,
    Q,       A,        Z,         X,      C,         V,        B,        N,    M,      Comma,     Period,
    Slash,   RShift,   Up,        Kp1,    Kp2,       Kp3,      Kp6,      Kp4,  Kp5,    Kp9,       Kp8,
    Kp7,     PageDown, End,       Delete, Backslash, RBracket, LBracket, P,    O,      I,         U,
    Y,       T,        R,         E,      W,         S,        D,        F,    G,      H,         J,
    K,       L,        Semicolon, Quote,  Enter};

const std::array<std::uint8_t, kPreviewKeys> kTwinkleOrder = {
    88, 24, 101, 57, 16, 69, 35, 34,  36, 51, 78, 18, 12, 66, 97, 9,   33,  41, 55, 52, 48,
    95, 77, 70,  10, 23, 39, 3,  102, 17, 65, 22, 31, 4,  85, 76, 15,  60,  54, 21, 83, 94,
    6,  61, 49,  20, 5,  14, 68, 98,  71, 27, 81, 1,  0,  87, 46, 75,  37,  73, 32, 79, 8,
    29, 72, 56,  44, 99, 13, 47, 42,  93, 91, 80, 86, 89, 43, 28, 58,  59,  38, 53, 2,  62,
    64, 90, 96,  74, 92, 40, 25, 26,  7,  30, 50, 84, 45, 67, 19, 103, 100, 82, 11, 63};

const std::array<Colour, kWheelSize> kHueWheel = MakeWheel();
const std::array<std::uint8_t, kWaveSize> kBrightnessWave = Mirrored(kWaveHalf);
const std::array<std::uint8_t, kPulseRange> kPulse = MakePulse();
const std::array<std::uint8_t, kBreathingSize> kBreathing = Mirrored(kBreathingHalf);

std::span<const PaintButton> RingBand(int band) {
    if (band < 0 || band >= kRingBands) return {};
    return kBands[static_cast<std::size_t>(band)];
}

int PreviewPosition(PaintButton button) {
    const auto it = std::find(kSnakeOrder.begin(), kSnakeOrder.end(), button);
    return it == kSnakeOrder.end() ? -1 : static_cast<int>(it - kSnakeOrder.begin());
}

}  // namespace talvenix::lighting::preview
