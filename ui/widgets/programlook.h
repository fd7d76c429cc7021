#pragma once

// Gives the application the look its windows are laid out for: the small
// window font and check boxes and radio buttons as compact as the classic
// dialog controls (a 13-pixel box and a narrow gap before the caption), so
// that captions fit the fixed control widths.
void applyProgramLook();

// Qt's own texts (text field menus, file and colour dialogs) in Slovenian.
void loadQtTranslations();
