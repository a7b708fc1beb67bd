#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The dialogs are laid out for "ＭＳ Ｐゴシック" at 9 points. Most Windows outside Japan lack that
// face unless the Japanese fonts are added; there the dialogs name another face that has the
// Japanese characters, or the system's own UI font, whose font links supply them.

// What the system offers, as its font enumeration lists it.
// Characters of the dialogs' texts that a face must have to show them: Latin letters and digits,
// full-width forms, kana and kanji. Some faces listed for the Shift-JIS set are fallback faces
// with the Japanese characters alone.
extern const char16_t kDialogCharacters[];

struct InstalledFonts {
    std::vector<std::u16string> families;
    // Proportional families listed for the Shift-JIS character set that have every character of
    // kDialogCharacters, in the system's order.
    std::vector<std::u16string> japanese_families;
    // The face of the system's message font.
    std::u16string ui_face;
};

struct DialogFace {
    // The templates' own face is there: they are used as they are.
    bool keeps_templates = true;
    std::u16string face;
    uint8_t charset = 0;
};

DialogFace choose_dialog_face(const InstalledFonts& fonts);

// A copy of a dialog template, either form, that names `face` as its font, and in the extended
// form `charset` too; the point size, the weight and every control stay as they are. Empty when
// the template names no font or its `size` readable bytes end inside its header.
std::vector<uint8_t> template_with_face(const uint8_t* bytes, size_t size, const std::u16string& face,
                                        uint8_t charset);
