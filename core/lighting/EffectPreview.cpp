#include "core/lighting/EffectPreview.h"

#include <memory>
#include <random>

namespace talvenix::lighting {

namespace {

using namespace preview;

constexpr int Mod(int x, int n) { return ((x % n) + n) % n; }

Colour Wheel(int index) { return kHueWheel[static_cast<std::size_t>(Mod(index, kWheelSize))]; }

template <typename F>
void PaintColumns(PreviewFrame& frame, F colourOfColumn) {
    for (const auto& row : kGrid) {
        for (int c = 0; c < kGridColumns; ++c) {
            const PaintButton b = row[static_cast<std::size_t>(c)];
            if (b != kNoKey) frame.colours[static_cast<std::size_t>(b)] = colourOfColumn(c);
        }
    }
}

template <typename F>
void PaintRows(PreviewFrame& frame, F colourOfRow) {
    for (int r = 0; r < kGridRows; ++r) {
        for (const PaintButton b : kGrid[static_cast<std::size_t>(r)]) {
            if (b != kNoKey) frame.colours[static_cast<std::size_t>(b)] = colourOfRow(r);
        }
    }
}

template <typename F>
void PaintSnake(PreviewFrame& frame, F colourOfPosition) {
    for (int i = 0; i < kPreviewKeys; ++i) {
        frame.colours[static_cast<std::size_t>(kSnakeOrder[static_cast<std::size_t>(i)])] =
            colourOfPosition(i);
    }
}

// Cells "pressed" by the scripted game of effect 14: (loop tick, row, column).
struct ScriptedPress {
    int tick, row, column;
};
constexpr int kScriptLoop = 40;
constexpr std::array<ScriptedPress, 5> kScript = {{
    {0, 2, 3},   // W
    {6, 3, 2},   // A
    {12, 3, 3},  // S
    {18, 3, 4},  // D
    {24, 5, 6},  // Space
}};

constexpr int kRippleSeedA[2] = {1, 5};   // the 4 key
constexpr int kRippleSeedB[2] = {4, 17};  // Up
constexpr int kSweepColumn = 1;
constexpr int kRainDropsPerTick = 3;
constexpr int kRainSpacing = 3;

constexpr std::uint32_t kRowMask = (1u << kGridColumns) - 1;

}  // namespace

EffectPreview::EffectPreview(RandomSource random) : random_(std::move(random)) {
    if (!random_) {
        auto engine = std::make_shared<std::mt19937>(std::random_device{}());
        random_ = [engine] { return static_cast<std::uint32_t>((*engine)()); };
    }
    // Reduced until it fits the wheel: taking 192 off only once would leave most keys past the
    // wheel's end, and the first tick would send them all to hue 0 together.
    for (int k = 0; k < kPreviewKeys; ++k)
        effect11Hue_[static_cast<std::size_t>(k)] = (33 * (k + 1)) % kWheelSize;
}

int EffectPreview::Phase(EffectCode code) const {
    if (code < 0 || code > kLastEffect) return 0;
    return phases_[static_cast<std::size_t>(code)];
}

std::uint32_t EffectPreview::NextRandom() { return random_(); }

void EffectPreview::Step(int& phase, int n, int range, bool forward) {
    phase = Mod(phase + (forward ? n : -n), range);
}

void EffectPreview::ResetEffectState() {
    brightness_.fill(0);
    hue_.fill(0);
    for (auto& g : grids_) g.fill(0);
}

void EffectPreview::Decay(EffectCode code) {
    const bool fast = code == 14;
    for (auto& b : brightness_) {
        if (b >= 128)
            b = static_cast<std::uint8_t>(b - (fast ? 30 : 20));
        else if (b >= 64)
            b = static_cast<std::uint8_t>(b - (fast ? 20 : 16));
        else if (b >= 32)
            b = static_cast<std::uint8_t>(b - 10);
        else if (b >= 17)
            b = static_cast<std::uint8_t>(b - 5);
        else if (b >= 1)
            b = static_cast<std::uint8_t>(b - 1);
    }
}

void EffectPreview::Light(int position, bool random) {
    brightness_[static_cast<std::size_t>(position)] = 255;
    if (random)
        hue_[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(NextRandom() % kWheelSize);
}

void EffectPreview::Press(int row, int column) {
    for (auto& g : grids_) g[static_cast<std::size_t>(row)] |= 1u << column;
}

void EffectPreview::MoveGrids() {
    auto& up = grids_[kUp];
    for (int r = 0; r + 1 < kGridRows; ++r)
        up[static_cast<std::size_t>(r)] = up[static_cast<std::size_t>(r + 1)];
    up[kGridRows - 1] = 0;
    auto& down = grids_[kDown];
    for (int r = kGridRows - 1; r > 0; --r)
        down[static_cast<std::size_t>(r)] = down[static_cast<std::size_t>(r - 1)];
    down[0] = 0;
    for (auto& row : grids_[kLeft]) row >>= 1;
    for (auto& row : grids_[kRight]) row = (row << 1) & kRowMask;
}

bool EffectPreview::GridsEmpty() const {
    for (const auto& g : grids_) {
        for (auto row : g) {
            if (row != 0) return false;
        }
    }
    return true;
}

void EffectPreview::RunWaveFronts(const PreviewInput& in) {
    Decay(in.effect);
    MoveGrids();
    switch (in.effect) {
        case 13:
            if (GridsEmpty()) {
                Press(kRippleSeedA[0], kRippleSeedA[1]);
                Press(kRippleSeedB[0], kRippleSeedB[1]);
            }
            break;
        case 14: {
            int& tick = PhaseOf(14);
            for (const auto& p : kScript) {
                if (p.tick == tick) Press(p.row, p.column);
            }
            tick = (tick + 1) % kScriptLoop;
            break;
        }
        case 15: {
            int& column = PhaseOf(15);
            for (int d = 0; d < kRainDropsPerTick; ++d) {
                grids_[kDown][0] |= 1u << column;
                column = (column + kRainSpacing) % kGridColumns;
            }
            break;
        }
        case 16:
            if (GridsEmpty()) {
                for (auto& row : grids_[kRight]) row |= 1u << kSweepColumn;
            }
            break;
        default:
            break;
    }
    for (int r = 0; r < kGridRows; ++r) {
        std::uint32_t set = 0;
        for (const auto& g : grids_) set |= g[static_cast<std::size_t>(r)];
        // A wide key filling several set cells lights once per tick.
        std::array<bool, kPreviewKeys> lit{};
        for (int c = 0; c < kGridColumns; ++c) {
            if (!(set & (1u << c))) continue;
            const PaintButton b = kGrid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (b == kNoKey) continue;
            const int pos = PreviewPosition(b);
            if (pos < 0 || lit[static_cast<std::size_t>(pos)]) continue;
            lit[static_cast<std::size_t>(pos)] = true;
            Light(pos, in.random);
        }
    }
}

void EffectPreview::RunTwinkle(const PreviewInput& in) {
    Decay(in.effect);
    int& cursor = PhaseOf(10);
    for (int j = 0; j < 3; ++j) {
        Light(kTwinkleOrder[static_cast<std::size_t>(cursor)], true);
        cursor = (cursor + 1) % kPreviewKeys;
    }
}

PreviewFrame EffectPreview::Tick(const PreviewInput& in) {
    PreviewFrame frame;
    if (drawing_) {
        frame.unchanged = true;
        return frame;
    }
    drawing_ = true;
    if (!lastEffect_ || *lastEffect_ != in.effect) {
        ResetEffectState();
        lastEffect_ = in.effect;
    }
    const bool forward = in.direction != 0;
    const Colour colour = in.colour & kColourMask;
    auto dimmed = [this, &in, colour](int pos) {
        const auto p = static_cast<std::size_t>(pos);
        return ScaleColour(in.random ? Wheel(hue_[p]) : colour, brightness_[p]);
    };

    switch (in.effect) {
        case 1: {
            int& ph = PhaseOf(1);
            if (in.random) {
                Step(ph, 9, kWheelSize, forward);
                PaintColumns(frame, [ph](int c) { return Wheel(ph + 9 * c); });
            } else {
                Step(ph, 7, kWaveSize, forward);
                PaintColumns(frame, [ph, colour](int c) {
                    return ScaleColour(colour,
                                       kBrightnessWave[static_cast<std::size_t>(Mod(ph + 7 * c, kWaveSize))]);
                });
            }
            break;
        }
        case 2: {
            int& ph = PhaseOf(2);
            if (in.random) {
                Step(ph, 4, kWheelSize, forward);
                PaintColumns(frame, [ph](int c) { return Wheel(ph + 5 * c); });
            } else {
                Step(ph, 4, kPulseRange, true);
                const int sign = in.direction == kDirectionFirst ? 1 : -1;
                PaintColumns(frame, [ph, sign, colour](int c) {
                    return ScaleColour(colour,
                                       kPulse[static_cast<std::size_t>(Mod(ph + sign * 5 * c, kPulseRange))]);
                });
            }
            break;
        }
        case 3: {
            int& ph = PhaseOf(3);
            if (in.random) {
                Step(ph, 4, kWheelSize, forward);
                PaintSnake(frame, [ph](int i) { return Wheel(ph + 5 * i); });
            } else {
                Step(ph, 4, kWaveSize, forward);
                PaintSnake(frame, [ph, colour](int i) {
                    return ScaleColour(colour,
                                       kBrightnessWave[static_cast<std::size_t>(Mod(ph + 5 * i, kWaveSize))]);
                });
            }
            break;
        }
        case 4: {
            int& ph = PhaseOf(4);
            Step(ph, 2, kWheelSize, forward);
            const Colour c = Wheel(ph);
            PaintSnake(frame, [c](int) { return c; });
            break;
        }
        case 5: {
            int& ph = PhaseOf(5);
            Step(ph, 2, kBreathingSize, true);
            const int k = kBreathing[static_cast<std::size_t>(ph)];
            if (in.random) {
                PaintColumns(frame, [k](int c) { return ScaleColour(Wheel(7 * c), k); });
            } else {
                const Colour c = ScaleColour(colour, k);
                PaintSnake(frame, [c](int) { return c; });
            }
            break;
        }
        case 6:
            if (in.random) {
                PaintColumns(frame, [](int c) { return c == kGridColumns - 1 ? Wheel(0) : Wheel(9 * c); });
            } else {
                PaintSnake(frame, [colour](int) { return colour; });
            }
            break;
        case 10:
            RunTwinkle(in);
            PaintSnake(frame, dimmed);
            break;
        case 11:
            for (auto& h : effect11Hue_) {
                h += 3;
                if (h >= kWheelSize) h = 0;
            }
            PaintSnake(frame, [this](int i) { return Wheel(effect11Hue_[static_cast<std::size_t>(i)]); });
            break;
        case 12: {
            int& ph = PhaseOf(12);
            Step(ph, 3, kWheelSize, forward);
            PaintRows(frame, [ph](int r) { return Wheel(ph + 32 * r); });
            break;
        }
        case 13:
        case 14:
        case 15:
        case 16:
            RunWaveFronts(in);
            PaintSnake(frame, dimmed);
            break;
        case 18: {
            int& ph = PhaseOf(18);
            Step(ph, 2, kWheelSize, forward);
            for (int b = 0; b < kRingBands; ++b) {
                const Colour c = Wheel(ph + 21 * (b + 1));
                for (const PaintButton key : RingBand(b)) frame.colours[static_cast<std::size_t>(key)] = c;
            }
            break;
        }
        case kEffectPerKeyColours:
            frame.unchanged = true;
            break;
        default:
            break;  // every key cleared
    }
    drawing_ = false;
    return frame;
}

}  // namespace talvenix::lighting
