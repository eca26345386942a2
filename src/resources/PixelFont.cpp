#include "PixelFont.h"

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

struct Glyph {
    char character;
    std::vector<const char*> rows;
};

// Rows top to bottom; '#' is ink. Wide letters (M, N, Q, W) take five columns to stay readable.
const std::vector<Glyph>& glyphs() {
    static const std::vector<Glyph> table = {
        {' ', {"..", "..", "..", "..", ".."}},
        {'-', {"...", "...", "###", "...", "..."}},
        {'.', {".", ".", ".", ".", "#"}},
        {'/', {"..#", "..#", ".#.", "#..", "#.."}},
        {'0', {"###", "#.#", "#.#", "#.#", "###"}},
        {'1', {".#", "##", ".#", ".#", ".#"}},
        {'2', {"##.", "..#", ".#.", "#..", "###"}},
        {'3', {"##.", "..#", ".#.", "..#", "##."}},
        {'4', {"#.#", "#.#", "###", "..#", "..#"}},
        {'5', {"###", "#..", "##.", "..#", "##."}},
        {'6', {".##", "#..", "###", "#.#", "###"}},
        {'7', {"###", "..#", ".#.", ".#.", ".#."}},
        {'8', {"###", "#.#", "###", "#.#", "###"}},
        {'9', {"###", "#.#", "###", "..#", "##."}},
        {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
        {'B', {"##.", "#.#", "##.", "#.#", "##."}},
        {'C', {".##", "#..", "#..", "#..", ".##"}},
        {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
        {'E', {"###", "#..", "##.", "#..", "###"}},
        {'F', {"###", "#..", "##.", "#..", "#.."}},
        {'G', {".##", "#..", "#.#", "#.#", ".##"}},
        {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
        {'I', {"###", ".#.", ".#.", ".#.", "###"}},
        {'J', {"..#", "..#", "..#", "#.#", ".#."}},
        {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
        {'L', {"#..", "#..", "#..", "#..", "###"}},
        {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
        {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}},
        {'O', {".#.", "#.#", "#.#", "#.#", ".#."}},
        {'P', {"##.", "#.#", "##.", "#..", "#.."}},
        {'Q', {".##.", "#..#", "#..#", "#.##", ".###"}},
        {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
        {'S', {".##", "#..", ".#.", "..#", "##."}},
        {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
        {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
        {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
        {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#"}},
        {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
        {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
        {'Z', {"###", "..#", ".#.", "#..", "###"}},
    };
    return table;
}

const Glyph& glyphFor(char character) {
    for (const Glyph& glyph : glyphs()) {
        if (glyph.character == character) return glyph;
    }
    // Lettering is fixed at build time, so a missing glyph is the generator's own mistake.
    throw std::invalid_argument(std::string("no glyph for '") + character + "'");
}

int glyphWidth(const Glyph& glyph) { return static_cast<int>(std::strlen(glyph.rows[0])); }

}  // namespace

int PixelFont::textWidth(const std::string& text) {
    int width = 0;
    for (char character : text) width += glyphWidth(glyphFor(character)) + 1;
    return text.empty() ? 0 : width - 1;
}

void PixelFont::drawText(PixelCanvas& canvas, int left, int top, const std::string& text, Rgb colour) {
    for (char character : text) {
        const Glyph& glyph = glyphFor(character);
        canvas.stamp(left, top, glyph.rows, colour);
        left += glyphWidth(glyph) + 1;
    }
}

void PixelFont::drawCentred(PixelCanvas& canvas, int centreX, int top, const std::string& text, Rgb colour) {
    drawText(canvas, centreX - textWidth(text) / 2, top, text, colour);
}
