// The renderer's arithmetic, kept free of Direct2D objects: icon bands, colours,
// caption recolouring over a pixel buffer, pass rectangles, frame geometry and
// font sizes.
#pragma once
#include <windows.h>

#include <d2d1.h>

#include <array>
#include <string>

namespace myapp {

// Icon side (16, 24, 32 or 48 pixels) for an indicator height. The half height
// is compared as an unsigned number, so a negative height gives 48.
int iconSizeForHeight(int height);

// COLORREF 0x00BBGGRR as a Direct2D colour with the given alpha.
D2D1_COLOR_F colorFromRef(COLORREF color, float alpha = 1.0f);

// The colour key of the indicator as a pixel word: red 254, alpha 0.
constexpr UINT32 KEY_PIXEL = 0x00FE0000;
// The brightest value a gradient channel reaches.
constexpr UINT GRADIENT_LIMIT = 220;

// Rows of a gradient step for the top half of a caption (h2 rows), for any
// pitch: at least 1, at most INT_MAX.
int gradientCount(UINT h2, int spnVal);
// Opaque pixel word 0xFFRRGGBB of one gradient band for the IME colour. With the
// gradient off every band is the colour itself; with it on each channel moves a
// count-th of its distance to 220 per band and never passes 220 (a channel
// already above 220 stays at 220).
UINT32 bandPixel(COLORREF base, int effect, int count, UINT band);
// The recoloured word of one caption pixel in the given band colour: empty and
// dark pixels (red, green and blue all below 63) become the colour key.
UINT32 recolourPixel(UINT32 pixel, UINT32 bandColour);
// Recolours the top h2 rows (w pixels of 32 bits each, rows `stride` bytes
// apart) of a buffer of `size` bytes for the IME colour; row y lies in band
// y / (count + 1). Rows that do not fit the buffer are left alone. Returns the
// number of rows walked.
UINT recolourCaption(BYTE* data, UINT size, UINT stride, UINT w, UINT h2, COLORREF base, int effect,
                     int spnVal);

// One DrawBitmap of a pass: source rectangle in the bitmap, destination rectangle.
struct BitmapPass {
  D2D1_RECT_F src;
  D2D1_RECT_F dst;
};
// The three-slice background for an indicator of cx x cy and slices s wide.
std::array<BitmapPass, 3> slicedPasses(int cx, int cy, int s);
// The stretched background: the recoloured half less a 2-pixel border.
BitmapPass stretchedPass(int cx, int cy, UINT w, UINT h2);
// Whether a frame takes the sliced background (a normal target in float mode).
bool useSlicedBackground(int dMode, int screenMode);
// The shading passes in drawing order: left cap, right cap, middle.
std::array<BitmapPass, 3> bokasiPasses(D2D1_POINT_2F center, float width, float height,
                                       float capWidth);

// Where the parts of one frame go.
struct FrameGeometry {
  D2D1_POINT_2F textOrigin;
  D2D1_RECT_F iconRect;
  D2D1_POINT_2F shadeCenter;
  float shadeWidth;
  float shadeHeight;
};
// Geometry of a frame of cx x cy for a label of n characters in a font of fs DIPs.
FrameGeometry frameGeometry(int dMode, int cx, int cy, int buttonWidth, int n, float fs,
                            float horizontalPos);

// The tallest label, in pixels: taller than any screen the label is drawn on.
constexpr LONG MAX_LABEL_HEIGHT = 4096;
// The LOGFONT of the settings held to what DirectWrite accepts: height 0 (any
// height) is the default height, a cell height (positive) is taken as the
// character height, a height is at most MAX_LABEL_HEIGHT, and the face name is
// always terminated.
LOGFONTW usableLogFont(const LOGFONTW& settingsFont, LONG defaultHeight);

// Font size in DIPs and in points for a LOGFONT height on a device of logPixelsY.
void fontSizes(LONG lfHeight, int logPixelsY, float* sizeDip, float* sizePt);
// How far the label is lifted so that its capitals sit in the middle of its box.
float textLift(int ascent, int capHeight, float sizePt, int designUnitsPerEm);

// The text of the set-up failure box.
std::wstring setupErrorText(const wchar_t* fileName, int line, int code, const wchar_t* callName);

}  // namespace myapp
