#pragma once

namespace portiva {

// The window's sizes are designed in twips, 15 twips a pixel at the design resolution.
constexpr int TwipsPorPixel = 15;

constexpr int Px(int twips) {
    return twips / TwipsPorPixel;
}

} // namespace portiva
