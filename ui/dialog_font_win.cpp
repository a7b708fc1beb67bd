#include "ui/dialog_font_win.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/application_win.h"
#include "ui/dialog_font.h"

namespace {

std::u16string FaceOf(const wchar_t* face) { return reinterpret_cast<const char16_t*>(face); }

int CALLBACK AddFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM families)
{
    reinterpret_cast<std::vector<std::u16string>*>(families)->push_back(FaceOf(font->lfFaceName));
    return 1;
}

// TMPF_FIXED_PITCH, despite its name, marks a proportional font.
int CALLBACK AddProportionalFamily(const LOGFONTW* font, const TEXTMETRICW* metric, DWORD type, LPARAM families)
{
    if (metric->tmPitchAndFamily & TMPF_FIXED_PITCH)
        AddFamily(font, metric, type, families);
    return 1;
}

bool HasDialogCharacters(HDC dc, const std::u16string& family)
{
    LOGFONTW wanted = {};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    family.copy(reinterpret_cast<char16_t*>(wanted.lfFaceName), LF_FACESIZE - 1);
    const HFONT font = CreateFontIndirectW(&wanted);
    if (!font)
        return false;
    const HGDIOBJ previous = SelectObject(dc, font);
    const auto* text = reinterpret_cast<const wchar_t*>(kDialogCharacters);
    const int length = lstrlenW(text);
    std::vector<WORD> glyphs(length);
    const bool whole = GetGlyphIndicesW(dc, text, length, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR &&
                       std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end();
    SelectObject(dc, previous);
    DeleteObject(font);
    return whole;
}

std::vector<std::u16string> Families(HDC dc, BYTE charset, FONTENUMPROCW add)
{
    std::vector<std::u16string> families;
    LOGFONTW wanted = {};
    wanted.lfCharSet = charset;
    EnumFontFamiliesExW(dc, &wanted, add, reinterpret_cast<LPARAM>(&families), 0);
    return families;
}

std::vector<std::u16string> JapaneseFamilies(HDC dc)
{
    std::vector<std::u16string> families = Families(dc, SHIFTJIS_CHARSET, AddProportionalFamily);
    families.erase(std::remove_if(families.begin(), families.end(),
                                  [dc](const std::u16string& family) { return !HasDialogCharacters(dc, family); }),
                   families.end());
    return families;
}

std::u16string MessageFontFace()
{
    NONCLIENTMETRICSW metrics = {};
    // Windows before Vista refuse the record with its last field, the padded border width.
    for (UINT size : {UINT(sizeof metrics), UINT(sizeof metrics - sizeof(int))}) {
        metrics.cbSize = size;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, size, &metrics, 0))
            return FaceOf(metrics.lfMessageFont.lfFaceName);
    }
    return {};
}

const DialogFace& SystemDialogFace()
{
    static const DialogFace face = [] {
        InstalledFonts fonts;
        const HDC dc = GetDC(nullptr);
        fonts.families = Families(dc, DEFAULT_CHARSET, AddFamily);
        fonts.japanese_families = JapaneseFamilies(dc);
        ReleaseDC(nullptr, dc);
        fonts.ui_face = MessageFontFace();
        return choose_dialog_face(fonts);
    }();
    return face;
}

const BYTE* TemplateResource(int id, DWORD& size)
{
    const HRSRC found = FindResourceW(g_app.instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    const HGLOBAL loaded = found ? LoadResource(g_app.instance, found) : nullptr;
    size = found ? SizeofResource(g_app.instance, found) : 0;
    return static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
}

}  // namespace

LPCDLGTEMPLATEW DialogTemplate(int id)
{
    static std::map<int, std::vector<uint8_t>> copies;
    DWORD size = 0;
    const BYTE* resource = TemplateResource(id, size);
    const DialogFace& face = SystemDialogFace();
    if (!resource || face.keeps_templates)
        return reinterpret_cast<LPCDLGTEMPLATEW>(resource);
    auto copy = copies.find(id);
    if (copy == copies.end())
        copy = copies.emplace(id, template_with_face(resource, size, face.face, face.charset)).first;
    return reinterpret_cast<LPCDLGTEMPLATEW>(copy->second.empty() ? resource : copy->second.data());
}

INT_PTR ShowDialog(int id, HWND owner, DLGPROC procedure, LPARAM parameter)
{
    const LPCDLGTEMPLATEW dialog = DialogTemplate(id);
    return dialog ? DialogBoxIndirectParamW(g_app.instance, dialog, owner, procedure, parameter) : -1;
}
