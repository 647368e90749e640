// One function per picture; each paints the whole card from scratch.
#pragma once

#include "canvas.hpp"
#include "type.hpp"

namespace cards {

Image loadingScreen(const Fonts& f);
Image creditsCard(const Fonts& f);
Image greetsCard(const Fonts& f);
Image historyCard(const Fonts& f);
Image rushedCard(const Fonts& f);
Image bottomBar();
Image vuBar();

// Pieces the text cards share.
void cardBackdrop(Image& img, uint32_t seed, Col nebulaA, Col nebulaB);
// Chrome heading centred at cx with its glow and shadow; returns its mask.
Mask chromeHeading(Image& img, const Font& font, std::u32string_view text, float cx, float baseline, float px,
                   Col glowColour);

}  // namespace cards
