// What one pushed picture was made of, and the watcher's holds on file values
// (see WatchFrame.h).
#include "WatchFrame.h"

#include <algorithm>
#include <cwchar>

bool sameFrame(const FrameInputs& a, const FrameInputs& b) {
  const bool sameLabel =
      (a.label == b.label) || (a.label != NULL && b.label != NULL && wcscmp(a.label, b.label) == 0);
  return a.pos.x == b.pos.x && a.pos.y == b.pos.y && a.size.cx == b.size.cx &&
         a.size.cy == b.size.cy && a.screenMode == b.screenMode &&
         a.captionHeight == b.captionHeight && a.buttonWidth == b.buttonWidth &&
         a.theme == b.theme && a.themeGeneration == b.themeGeneration && a.imeOpen == b.imeOpen &&
         sameLabel && a.opacity == b.opacity && a.blinkPhase == b.blinkPhase &&
         a.settingsGeneration == b.settingsGeneration && a.show == b.show &&
         a.composition == b.composition && a.dMode == b.dMode;
}

UINT loopIntervalOf(unsigned int loopInterval) {
  const int asWritten = (int)loopInterval;
  if (asWritten < (int)MIN_LOOP_INTERVAL) return MIN_LOOP_INTERVAL;
  if (asWritten > (int)MAX_LOOP_INTERVAL) return MAX_LOOP_INTERVAL;
  return (UINT)asWritten;
}

// One axis: ordered, its length within [minSize, max(minSize, limit)], and then
// moved, length kept, into [0, limit] where it is out of it.
static void holdSpan(long long* lo, long long* hi, long long minSize, long long limit) {
  if (*lo > *hi) std::swap(*lo, *hi);
  const long long length = std::min(std::max(*hi - *lo, minSize), std::max(minSize, limit));
  *lo = std::max(0LL, std::min(*lo, limit - length));
  *hi = *lo + length;
}

RECT usableFixedRect(const RECT& rect, int minSize, int screenWidth, int screenHeight) {
  long long left = rect.left, right = rect.right, top = rect.top, bottom = rect.bottom;
  holdSpan(&left, &right, minSize, screenWidth);
  holdSpan(&top, &bottom, minSize, screenHeight);
  return RECT{(LONG)left, (LONG)top, (LONG)right, (LONG)bottom};
}

bool placementChangesNothing(ZORDER_KIND kind, HWND prev, bool prevTopmost, UINT swpExtra,
                             const Placement& place, const Standing& now) {
  if (swpExtra != 0 || !now.visible) return false;
  if (now.rect.left != place.pos.x || now.rect.top != place.pos.y ||
      now.rect.right - now.rect.left != place.size.cx ||
      now.rect.bottom - now.rect.top != place.size.cy) {
    return false;
  }
  switch (kind) {
    case ZORDER_UNCHANGED:
      return true;
    case ZORDER_TOPMOST:  // the top of everything
      return now.topmost && now.above == NULL;
    case ZORDER_TOP:  // the top of its band
      return now.above == NULL || (now.aboveTopmost && !now.topmost);
    case ZORDER_AFTER_PREV:  // directly below prev, in prev's band
      return now.above == prev && now.topmost == prevTopmost;
    default:
      return false;
  }
}
