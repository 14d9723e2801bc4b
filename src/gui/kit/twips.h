// The windows' designed geometry is given in twips (1/1440 inch); the program maps them at 15 twips
// per pixel, the usual screen of the design.
#pragma once

namespace tally {

// A length in twips as whole pixels, rounded to the nearest.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}

} // namespace tally
