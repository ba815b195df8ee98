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
// Only for telling whether a family draws bold; the popup's own sizes come
// from its layout, in pixels of its DPI.
const REAL kTitlePoints = 10.0f;

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
    return bNamed ? std::wstring(name) : std::wstring();
}

// Ink of a sample line drawn in the family: the number of dark pixels.
int SampleInk(const FontFamily& family, INT style)
{
    Bitmap bitmap(160, 24, PixelFormat32bppRGB);
    Graphics graphics(&bitmap);
    Font font(&family, kTitlePoints, style, UnitPoint);
    if (graphics.GetLastStatus() != Ok || font.GetLastStatus() != Ok)
        return 0;
    graphics.Clear(Color(0xFFFFFFFF));
    SolidBrush ink{Color(0xFF000000)};
    graphics.DrawString(L"Capture posted", -1, &font, PointF(0.0f, 0.0f), &ink);
    int n = 0;
    for (UINT y = 0; y < bitmap.GetHeight(); ++y)
        for (UINT x = 0; x < bitmap.GetWidth(); ++x) {
            Color c;
            n += bitmap.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &c) == Ok && c.GetG() < 128 ? 1 : 0;
        }
    return n;
}

// Some families claim a bold style yet draw it as the regular one (Tahoma
// under Wine); the title would then lose its weight.
bool DrawsBold(const wchar_t* pszName)
{
    FontFamily family(pszName);
    const int nRegular = SampleInk(family, FontStyleRegular);
    return nRegular > 0 && SampleInk(family, FontStyleBold) > nRegular + nRegular / 10;
}

std::wstring ResolveFamilyName()
{
    std::wstring candidates[] = {L"Verdana", GenericSansSerifName(), L"Liberation Sans", L"DejaVu Sans"};
    std::wstring firstFound;
    for (const std::wstring& name : candidates) {
        if (name.empty() || !FamilyExists(name.c_str()))
            continue;
        if (DrawsBold(name.c_str()))
            return name;
        if (firstFound.empty())
            firstFound = name;
    }
    // Without a real bold face anywhere the texts are still drawn.
    return firstFound;
}

// Vertical centring is done here rather than by the string format: the lines
// that fit are measured and laid out from the top of the box moved down by
// half the room they leave. Where GDI+ centres only the fitting lines (as it
// does on Windows) this is the same picture; where it centres the whole text
// (Wine) the format's centring pushed the first lines above the box.
void PaintText(Graphics& graphics, const FontFamily& family, const std::wstring& text, REAL pixels, INT style,
               ARGB colour, RectF box, const StringFormat& format, bool bCentreVertically)
{
    if (text.empty())
        return;
    // Pixels rather than points: points follow the device context's DPI,
    // which is not the DPI of the monitor the popup is laid out for.
    Font font(&family, pixels, style, UnitPixel);
    if (font.GetLastStatus() != Ok || !font.IsAvailable())
        return;
    const INT length = static_cast<INT>(text.size());
    if (bCentreVertically) {
        RectF bounds;
        if (graphics.MeasureString(text.c_str(), length, &font, box, &format, &bounds) == Ok &&
            bounds.Height < box.Height) {
            const REAL room = (box.Height - bounds.Height) / 2.0f;
            box.Y += room;
            box.Height -= room;
        }
    }
    SolidBrush brush{Color(colour)};
    graphics.DrawString(text.c_str(), length, &font, box, &format, &brush);
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
        PaintText(graphics, family, content.title, static_cast<REAL>(layout.titlePixels), FontStyleBold, kTitle,
                  ToRectF(layout.title), format, false);
    }
    if (HasArea(layout.text)) {
        // Whole lines only; what does not fit loses its middle, as a long path would.
        StringFormat format(StringFormatFlagsLineLimit);
        format.SetAlignment(StringAlignmentNear);
        format.SetLineAlignment(StringAlignmentNear);
        format.SetTrimming(StringTrimmingEllipsisPath);
        const INT style = content.bLinkStyle ? (FontStyleBold | FontStyleUnderline) : FontStyleBold;
        PaintText(graphics, family, content.text, static_cast<REAL>(layout.textPixels), style,
                  content.bLinkStyle ? kLink : kPlain, ToRectF(layout.text), format, true);
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
    const CPopupLayout layout = LayOutPopup(width, height, content.hIcon != nullptr, content.nDpi);
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
    // The icon is drawn with plain GDI once GDI+ has let go of the device
    // context, at the size of its box: the system's icon size grows with the
    // scale on its own terms and would reach into the text.
    if (content.hIcon)
        ::DrawIconEx(hdc, layout.icon.x, layout.icon.y, content.hIcon, layout.icon.width, layout.icon.height, 0,
                     nullptr, DI_NORMAL);
}

}  // namespace notify
