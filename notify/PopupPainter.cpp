#include "notify/PopupPainter.h"

#include <gdiplus.h>

#include <memory>

#include "notify/PopupGeometry.h"

namespace notify {

namespace {

using namespace Gdiplus;

const ARGB kOutline = 0xFF000000;
const ARGB kFrame = 0xFF2C78DA;
const ARGB kGradientTop = 0xFFEDF2FF;
const ARGB kGradientBottom = 0xFFD2DBF2;
const ARGB kTitle = 0xFF51608B;
const ARGB kLink = 0xFF0000FF;
const ARGB kPlain = 0xFF6E6F73;
const REAL kTitlePoints = 10.0f;
const REAL kTextPoints = 8.0f;

bool HasArea(const CPopupBox& box) { return box.width > 0 && box.height > 0; }
Rect ToRect(const CPopupBox& box) { return Rect(box.x, box.y, box.width, box.height); }
RectF ToRectF(const CPopupBox& box)
{
    return RectF(static_cast<REAL>(box.x), static_cast<REAL>(box.y), static_cast<REAL>(box.width),
                 static_cast<REAL>(box.height));
}

bool FamilyExists(const wchar_t* pszName)
{
    FontFamily family(pszName);
    return family.GetLastStatus() == Ok && family.IsAvailable();
}

// The generic family is asked for through the flat API and released at once:
// the wrapper's cached object would outlive a GDI+ shutdown, and it is null
// where GDI+ knows no generic family at all.
std::wstring GenericSansSerifName()
{
    GpFontFamily* pGeneric = nullptr;
    if (DllExports::GdipGetGenericFontFamilySansSerif(&pGeneric) != Ok || !pGeneric)
        return std::wstring();
    WCHAR name[LF_FACESIZE] = {};
    const bool bNamed = DllExports::GdipGetFamilyName(pGeneric, name, LANG_NEUTRAL) == Ok;
    DllExports::GdipDeleteFontFamily(pGeneric);
    return bNamed && name[0] && FamilyExists(name) ? std::wstring(name) : std::wstring();
}

std::wstring ResolveFamilyName()
{
    if (FamilyExists(L"Verdana"))
        return L"Verdana";
    std::wstring generic = GenericSansSerifName();
    if (!generic.empty())
        return generic;
    for (const wchar_t* pszName : {L"Liberation Sans", L"DejaVu Sans"})
        if (FamilyExists(pszName))
            return pszName;
    return std::wstring();
}

void PaintText(Graphics& graphics, const FontFamily& family, const std::wstring& text, REAL points, INT style,
              ARGB colour, const RectF& box, const StringFormat& format)
{
    if (text.empty())
        return;
    Font font(&family, points, style, UnitPoint);
    if (font.GetLastStatus() != Ok || !font.IsAvailable())
        return;
    SolidBrush brush{Color(colour)};
    graphics.DrawString(text.c_str(), static_cast<INT>(text.size()), &font, box, &format, &brush);
}

void DrawTexts(Graphics& graphics, const CPopupLayout& layout, const CPopupContent& content)
{
    const std::wstring name = PopupFontFamilyName();
    if (name.empty())
        return;
    FontFamily family(name.c_str());
    if (family.GetLastStatus() != Ok || !family.IsAvailable())
        return;

    if (HasArea(layout.title)) {
        StringFormat format;
        format.SetAlignment(StringAlignmentCenter);
        format.SetLineAlignment(StringAlignmentNear);
        PaintText(graphics, family, content.title, kTitlePoints, FontStyleBold, kTitle, ToRectF(layout.title), format);
    }
    if (HasArea(layout.text)) {
        // Whole lines only; what does not fit loses its middle, as a long path would.
        StringFormat format(StringFormatFlagsLineLimit);
        format.SetAlignment(StringAlignmentNear);
        format.SetLineAlignment(StringAlignmentCenter);
        format.SetTrimming(StringTrimmingEllipsisPath);
        const INT style = content.bLinkStyle ? (FontStyleBold | FontStyleUnderline) : FontStyleBold;
        PaintText(graphics, family, content.text, kTextPoints, style, content.bLinkStyle ? kLink : kPlain,
                 ToRectF(layout.text), format);
    }
}

}  // namespace

std::wstring PopupFontFamilyName()
{
    // Looking the families up costs far more than a slide step may; the
    // answer does not change while the process runs.
    static std::wstring name;
    static bool bResolved = false;
    if (!bResolved) {
        name = ResolveFamilyName();
        bResolved = !name.empty();
    }
    return name;
}

void PaintPopup(HDC hdc, int width, int height, const CPopupContent& content)
{
    const CPopupLayout layout = LayOutPopup(width, height, content.hIcon != nullptr);
    {
        Graphics graphics(hdc);
        if (graphics.GetLastStatus() != Ok)
            return;
        if (layout.outline.width >= 0 && layout.outline.height >= 0) {
            Pen outline(Color(kOutline), 1.0f);
            graphics.DrawRectangle(&outline, ToRect(layout.outline));
        }
        if (HasArea(layout.fill)) {
            SolidBrush frame{Color(kFrame)};
            graphics.FillRectangle(&frame, ToRect(layout.fill));
        }
        if (HasArea(layout.gradient)) {
            const Rect box = ToRect(layout.gradient);
            LinearGradientBrush gradient(box, Color(kGradientTop), Color(kGradientBottom),
                                         LinearGradientModeVertical);
            // Without flipping, the tile's seam shows the bottom colour on the top line.
            gradient.SetWrapMode(WrapModeTileFlipXY);
            graphics.FillRectangle(&gradient, box);
        }
        DrawTexts(graphics, layout, content);
    }
    // The icon is drawn with plain GDI once GDI+ has let go of the device context.
    if (content.hIcon)
        ::DrawIcon(hdc, kIconLeft, kIconTop, content.hIcon);
}

}  // namespace notify
