// What one pushed picture of the indicator was made of, and the values from the
// settings file held to what works where the watcher uses them.
#pragma once
#include <windows.h>

#include <uxtheme.h>

#include "WatchLogic.h"
#include "tamselDefs.h"

// The inputs of one draw. When a draw's inputs equal those of the frame pushed
// last, its picture, place and opacity would come out the same: nothing new is
// pushed.
struct FrameInputs {
  POINT pos;
  SIZE size;
  int screenMode;
  int captionHeight;
  int buttonWidth;
  HTHEME theme;
  unsigned themeGeneration;  // the theme data opened again (possibly at the same handle)
  int imeOpen;
  const wchar_t* label;  // compared by its text
  BYTE opacity;
  int blinkPhase;               // a blink step changes the opacity between draws
  unsigned settingsGeneration;  // the renderer took new settings
  int show;
  BOOL composition;
  DISP_MODE dMode;
};
bool sameFrame(const FrameInputs& a, const FrameInputs& b);

// The loop-watch period for the timer: loopInterval held within 10 to 1000 ms.
// The field is unsigned; a negative number in the file arrives wrapped and is
// held at the nearer end, 10.
constexpr UINT MIN_LOOP_INTERVAL = 10;
constexpr UINT MAX_LOOP_INTERVAL = 1000;
UINT loopIntervalOf(unsigned int loopInterval);

// The smallest indicator window (its minimum tracking size, WM_GETMINMAXINFO).
constexpr int MIN_INDICATOR_SIZE = 24;

// The fixed rectangle where it is used: normalised (left <= right, top <= bottom),
// at least minSize square and at most the screen, and moved onto a screen of W x H
// with its size kept, as a moved indicator is.
RECT usableFixedRect(const RECT& rect, int minSize, int screenWidth, int screenHeight);

// How the indicator window stands now, as far as a SetWindowPos could change it.
struct Standing {
  RECT rect;
  bool visible;
  bool topmost;
  HWND above;         // the window directly above it (GW_HWNDPREV), NULL at the very top
  bool aboveTopmost;  // that window is topmost
};
// Whether the SetWindowPos of a placement (insert-after kind, the target's window above
// `prev` with its topmost flag, extra flags) would leave the window as it stands: then
// it is not called, since every call costs and, under some window systems, memory.
bool placementChangesNothing(ZORDER_KIND kind, HWND prev, bool prevTopmost, UINT swpExtra,
                             const Placement& place, const Standing& now);
