// The renderer's arithmetic (see MyAppLogic.h).
#include "MyAppLogic.h"

#include <limits.h>
#include <math.h>

#include <algorithm>
#include <boost/format.hpp>

#include "MySerialize.h"

namespace myapp {

int iconSizeForHeight(int height) {
  const UINT half = (UINT)(height / 2);
  if (half < 24) return 16;
  if (half < 32) return 24;
  if (half < 48) return 32;
  return 48;
}

D2D1_COLOR_F colorFromRef(COLORREF color, float alpha) {
  return D2D1::ColorF(GetRValue(color) / 255.0f, GetGValue(color) / 255.0f,
                      GetBValue(color) / 255.0f, alpha);
}

int gradientCount(UINT h2, int spnVal) {
  // Any pitch the file holds: the product is taken in 64 bits.
  const long long count = (long long)h2 * spnVal / 100;
  if (count < 1) return 1;
  return count < INT_MAX ? (int)count : INT_MAX;
}

static UINT bandChannel(UINT channel, int count, UINT band) {
  if (channel >= GRADIENT_LIMIT) return GRADIENT_LIMIT;
  const UINT step = (GRADIENT_LIMIT - channel) / (UINT)count;
  const unsigned long long value = channel + (unsigned long long)band * step;
  return value > GRADIENT_LIMIT ? GRADIENT_LIMIT : (UINT)value;
}

UINT32 bandPixel(COLORREF base, int effect, int count, UINT band) {
  UINT r = GetRValue(base), g = GetGValue(base), b = GetBValue(base);
  if (effect != 0) {
    r = bandChannel(r, count, band);
    g = bandChannel(g, count, band);
    b = bandChannel(b, count, band);
  }
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

UINT32 recolourPixel(UINT32 pixel, UINT32 bandColour) {
  if (pixel == 0) return KEY_PIXEL;
  const UINT r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  if (r < 63 && g < 63 && b < 63) return KEY_PIXEL;
  return bandColour;
}

UINT recolourCaption(BYTE* data, UINT size, UINT stride, UINT w, UINT h2, COLORREF base, int effect,
                     int spnVal) {
  if (data == NULL || stride < w * 4) return 0;
  const int count = gradientCount(h2, spnVal);
  UINT rows = 0;
  for (UINT y = 0; y < h2; ++y) {
    const unsigned long long rowStart = (unsigned long long)y * stride;
    if (rowStart + (unsigned long long)w * 4 > size) break;
    const UINT32 colour = bandPixel(base, effect, count, y / ((UINT)count + 1));
    UINT32* row = reinterpret_cast<UINT32*>(data + rowStart);
    for (UINT x = 0; x < w; ++x) row[x] = recolourPixel(row[x], colour);
    ++rows;
  }
  return rows;
}

std::array<BitmapPass, 3> slicedPasses(int cx, int cy, int s) {
  const float S = (float)s, S2 = (float)(2 * s), S3 = (float)(3 * s);
  const float CX = (float)cx, CY = (float)cy, right = (float)(cx - s);
  return {{{D2D1::RectF(0, 0, S, CY), D2D1::RectF(0, 0, S, CY)},
           {D2D1::RectF(S, 0, S2, CY), D2D1::RectF(S, 0, right, CY)},
           {D2D1::RectF(S2, 0, S3, CY), D2D1::RectF(right, 0, CX, CY)}}};
}

BitmapPass stretchedPass(int cx, int cy, UINT w, UINT h2) {
  return {D2D1::RectF(2, 2, (float)((int)w - 2), (float)((int)h2 - 2)),
          D2D1::RectF(0, 0, (float)cx, (float)cy)};
}

bool useSlicedBackground(int dMode, int screenMode) { return dMode != 1 && screenMode != 0; }

std::array<BitmapPass, 3> bokasiPasses(D2D1_POINT_2F c, float width, float height, float e) {
  const float hw = width / 2, hh = height / 2;
  const float top = ceilf(c.y - hh), bottom = ceilf(c.y + hh);
  return {
      {{D2D1::RectF(0, 0, 12, 24), D2D1::RectF(ceilf(c.x - hw - e), top, ceilf(c.x - hw), bottom)},
       {D2D1::RectF(24, 0, 36, 24), D2D1::RectF(ceilf(c.x + hw), top, ceilf(c.x + hw + e), bottom)},
       {D2D1::RectF(12, 0, 24, 24), D2D1::RectF(ceilf(c.x - hw), top, ceilf(c.x + hw), bottom)}}};
}

static FrameGeometry floatGeometry(int cx, int cy, int buttonWidth, int n, float fs,
                                   float horizontalPos) {
  const float h = shownHorizontalPos(horizontalPos);  // a far-out value stays on the strip
  const float CY = (float)cy;
  const float L = n * fs, T = n > 1 ? L : fs, A = (float)(cx - buttonWidth);
  FrameGeometry g;
  g.textOrigin.x = std::max(0.0f, (A - T) * h / 100);
  g.textOrigin.y = CY > fs ? (CY - fs) / 2 : 0;
  const float iconX = std::max(0.0f, L + (A - L) * h / 100 + 32);
  g.iconRect = D2D1::RectF(iconX, 2, iconX + CY - 4, CY - 2);
  g.shadeCenter.x = g.textOrigin.x + L / 2;
  g.shadeCenter.y = CY > fs ? g.textOrigin.y + fs / 2 : CY / 2;
  g.shadeWidth = L;
  g.shadeHeight = (CY > fs ? fs : CY) - 2;
  return g;
}

static FrameGeometry fixedGeometry(int cx, int cy, int n, float fs) {
  const float CX = (float)cx, CY = (float)cy;
  const float L = n * fs, T = n > 1 ? L : fs;
  FrameGeometry g;
  float iconLeft, iconTop;
  if (cx < cy) {  // icon below the label
    g.textOrigin.x = (CX - T) / 2;
    g.textOrigin.y = (CY - (fs + 44)) / 2;
    iconLeft = CX / 2 - 12;
    iconTop = (CY - (fs + 44)) / 2 + fs + 20;
    g.shadeCenter.x = CX / 2;
    g.shadeCenter.y = (CY - 44) / 2;
  } else {  // icon right of the label
    g.textOrigin.x = (CX - (T + 48)) / 2;
    g.textOrigin.y = (CY - fs) / 2;
    iconLeft = (CX - (fs + 48)) / 2 + fs + 24;
    iconTop = (CY - 24) / 2;
    g.shadeCenter.x = (CX - 48) / 2;
    g.shadeCenter.y = CY / 2;
  }
  g.iconRect = D2D1::RectF(iconLeft, iconTop, iconLeft + 24, iconTop + 24);
  g.shadeWidth = L;
  g.shadeHeight = fs + 4;
  return g;
}

FrameGeometry frameGeometry(int dMode, int cx, int cy, int buttonWidth, int n, float fs,
                            float horizontalPos) {
  if (dMode == 1) return fixedGeometry(cx, cy, n, fs);
  return floatGeometry(cx, cy, buttonWidth, n, fs, horizontalPos);
}

LOGFONTW usableLogFont(const LOGFONTW& settingsFont, LONG defaultHeight) {
  LOGFONTW font = settingsFont;
  font.lfFaceName[LF_FACESIZE - 1] = L'\0';
  long long height = font.lfHeight == 0 ? defaultHeight : font.lfHeight;
  if (height > 0) height = -height;
  if (height == 0) height = -1;
  font.lfHeight = (LONG)std::max(height, -(long long)MAX_LABEL_HEIGHT);
  return font;
}

void fontSizes(LONG lfHeight, int logPixelsY, float* sizeDip, float* sizePt) {
  *sizeDip = (float)(-MulDiv(lfHeight, 96, logPixelsY));
  *sizePt = (float)(-MulDiv(lfHeight, 72, logPixelsY));
}

float textLift(int ascent, int capHeight, float sizePt, int designUnitsPerEm) {
  return floorf((float)(ascent - capHeight) * sizePt / (float)designUnitsPerEm);
}

std::wstring setupErrorText(const wchar_t* fileName, int line, int code, const wchar_t* callName) {
  boost::wformat text(L"環境異常 : ファイル名:%1%  行番号:%2%  \n%4% RESULT:0x%3$08X");
  text % fileName % line % code % callName;
  return text.str();
}

}  // namespace myapp
