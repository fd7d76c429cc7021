#pragma once

#include <QFont>
#include <QString>

// How the program draws Tengwar font codes: every code by the font itself,
// never by a substitute face, without kerning, and fully hinted. Full hinting
// puts every glyph on whole pixels, so that each copy of a letter along a line
// comes out the same, with stems of one weight; the font's own hints (made by
// ttfautohint) then fit its outlines to the pixel grid.
inline void setTengwarDrawing(QFont& font) {
    font.setKerning(false);
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setHintingPreference(QFont::PreferFullHinting);
}

// The program's Tengwar face, "Tengwar Quenya", at `pixels` per em.
inline QFont tengwarFont(int pixels) {
    QFont font(QStringLiteral("Tengwar Quenya"));
    setTengwarDrawing(font);
    font.setPixelSize(pixels);
    return font;
}
