// The watcher's decisions without a desktop: where the indicator stands, how
// opaque it is, how it is stacked, how the timers change and how the hover
// countdown of the movable fixed mode moves on. Watch feeds these functions
// with what it read from the system and acts on their answers.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "tamselDefs.h"

// ---------------------------------------------------------------------------
// Placement

// The system metrics that the caption geometry needs.
struct CaptionMetrics {
  int cxEdge;
  int cyEdge;
  int cxBorder;
  int cyFrame;
  int cyCaption;
  int cxSmSize;
  int cxMaximized;
  int cyMaximized;
};

// The metrics of the running system (GetSystemMetrics).
CaptionMetrics currentCaptionMetrics();

// What getScreenMode hands to draw.
struct ScreenGeometry {
  SCREEN_MODE mode;
  RECT rect;
  int captionHeight;
  bool useTheme;  // the indicator's theme goes with a normal window only
};

ScreenGeometry fixedGeometry(const RECT& dModePos);
// The caption strip of a maximized window: shifted right and down by the edge,
// as high as a frame and a caption.
ScreenGeometry maximizedGeometry(const RECT& windowRect, const CaptionMetrics& m);
ScreenGeometry minimizedGeometry();
ScreenGeometry normalGeometry(const RECT& windowRect, const CaptionMetrics& m);
// A normal window as large as a maximized one is being maximized: read it again.
bool looksMaximizing(const RECT& windowRect, const CaptionMetrics& m);

// Where the indicator goes and how large its picture is.
struct Placement {
  POINT pos;
  SIZE size;
};

// The hidden indicator keeps only the top-left corner and shrinks to 20 x 20.
constexpr int HIDDEN_SIZE = 20;
Placement placementOf(const RECT& rect, int captionHeight, bool show);

// Width of the caption buttons from the minimize, maximize and close button
// rectangles (rgrect[2], [3], [5] of TITLEBARINFOEX); when all three are empty
// each counts as a small caption button.
int buttonWidthOf(const RECT& minimize, const RECT& maximize, const RECT& close,
                  const CaptionMetrics& m);
// The same for a whole TITLEBARINFOEX answer.
int buttonWidthOf(const TITLEBARINFOEX& info, const CaptionMetrics& m);

// ---------------------------------------------------------------------------
// Opacity and blinking

// Percent to the layered window's byte: percent * 255 / 100, truncated.
// Percentages outside 0..100 are held at the ends instead of wrapping the byte.
BYTE opacityByte(int percent);
// The opacity of a full draw: 0 when hidden, 255 while movable, else the
// percentage of the IME state.
BYTE drawOpacity(bool show, bool transparent, bool imeOpen, int alphaOn, int alphaOff);
// The blink's dim level in percent: 20 below the opacity, never below 0.
int dimLevel(int alpha);
// The opacity of one blink step: full on odd counts, dim on even ones, full
// without blinking, 0 while hidden.
BYTE blinkOpacity(bool blink, int count, BYTE full, BYTE dim, bool show);
// The blink counter runs 0 .. 1001 and starts again at 0.
int nextBlinkCount(int count);

// ---------------------------------------------------------------------------
// Stacking

enum ZORDER_KIND : int {
  ZORDER_TOPMOST,     // HWND_TOPMOST
  ZORDER_TOP,         // HWND_TOP
  ZORDER_AFTER_PREV,  // directly below the window above the target
  ZORDER_UNCHANGED    // the indicator already sits directly above the target
};

// prev: the window directly above the target (NULL at the top); prevCanOpen:
// whether the program may open prev's process (read only when prev is neither
// NULL nor the indicator).
ZORDER_KIND chooseZOrder(DISP_MODE dMode, bool show, HWND prev, HWND indicator, bool prevCanOpen);
// The missing-rights line is written once per covering window and never for an
// administrator.
bool shouldWarnNoAdmin(HWND prev, HWND lastWarned, bool isAdmin);
// The insert-after window and the extra flags of a z-order choice.
HWND insertAfterOf(ZORDER_KIND kind, HWND prev);
UINT zOrderFlagsOf(ZORDER_KIND kind);

// The indicator does not erase its background while it is layered: the
// layered picture would otherwise turn into the class background on a resize
// until the next draw.
bool shouldEraseBackgroundFor(LONG_PTR exStyle);

// ---------------------------------------------------------------------------
// Timers after a settings change

struct TimerPlan {
  bool startTransWatch;  // float -> fixed
  bool killBlink;        // blinking off, or a new period
  bool startBlink;       // blinking on, or a new period
};

TimerPlan planTimerChanges(DISP_MODE oldMode, DISP_MODE newMode, bool oldBlink, bool newBlink,
                           unsigned oldSpeed, unsigned newSpeed);

// ---------------------------------------------------------------------------
// The fixed rectangle on the screen

// Pulls a rectangle into a screen of W x H. A rectangle out on the left moves
// right with its width kept (or reaches to the right edge); one out on the
// right moves left when there is room, else it is cut at the edge; one out on
// both sides becomes the whole width. The same vertically.
RECT clampRectToScreen(RECT rect, int screenWidth, int screenHeight);

// ---------------------------------------------------------------------------
// The hover countdown of the movable fixed mode

struct HoverInput {
  bool fixed;        // dMode is DISP_FIXED
  bool transparent;  // the indicator is click-through
  bool waiting;      // a hover wait runs
  bool shift;        // Shift is held
  int count;         // transTimerCnt
  bool cursorOver;   // the cursor is over the indicator
};

// The indicator can turn movable: fixed, click-through, cursor over it.
bool canTurnMovable(const HoverInput& in);

enum TRANS_WATCH_ACTION : int {
  TRANS_WATCH_IDLE,       // 0: the watch timer starts again
  TRANS_WATCH_WAITING,    // 1: a wait already runs
  TRANS_WATCH_MOVABLE,    // 1: movable at once (Shift, or a count of 0)
  TRANS_WATCH_START_WAIT  // 1: the countdown starts
};
TRANS_WATCH_ACTION decideTransWatch(const HoverInput& in);

enum TRANS_WAIT_ACTION : int {
  TRANS_WAIT_UP,      // the count is reached: movable (or back to watching)
  TRANS_WAIT_SHIFT,   // Shift: movable at once
  TRANS_WAIT_COUNT,   // one more tick counted
  TRANS_WAIT_LEFT,    // the cursor left: back to watching
  TRANS_WAIT_ABANDON  // no longer fixed and click-through: the wait ends
};
TRANS_WAIT_ACTION decideTransWait(const HoverInput& in, int waitCount);

// The countdown text: the ticks left, in decimal.
std::wstring countdownText(int count, int waited);

// ---------------------------------------------------------------------------
// Cursor tests

// The indicator's test: right and bottom edges are outside.
bool pointInHalfOpen(const RECT& rect, POINT pt);
// The tooltip's test: all four edges are inside.
bool pointInClosed(const RECT& rect, POINT pt);

// ---------------------------------------------------------------------------
// Tooltip geometry

// The tooltip stands 10 pixels right of the cursor, its top at the cursor's height.
POINT toolTipPosition(POINT cursor);

enum TEXT_ALIGN_KIND : int { TEXT_ALIGN_LEFT, TEXT_ALIGN_CENTER, TEXT_ALIGN_RIGHT };
struct TextOrigin {
  TEXT_ALIGN_KIND align;
  int x;
  int y;
};
// Where paintToolTip writes, from the window style bits 0x1 (centred) and 0x2
// (right), in the manner of static controls.
TextOrigin toolTipTextOrigin(LONG_PTR style, int windowWidth, int cxBorder, int cyBorder);

// ---------------------------------------------------------------------------
// Target selection

// The target filter of Watch::onUpdate(HWND) as a pure function. Each question is
// asked at most once and only when the rules before it did not decide, in the order
// of the rules (the application-window test enumerates every top-level window).
struct TargetFilterQuestions {
  int state = 0;                 // Watch::m_state
  bool transparent = false;      // Watch::m_transparent
  bool dialog = false;           // Watch::m_dialog
  DISP_MODE dMode = DISP_FLOAT;  // Watch::m_dMode
  bool nonCaptionShow = false;
  std::function<bool()> isOwnExe;      // the window belongs to this program's executable
  std::function<bool()> isIndicator;   // the window is the indicator
  std::function<bool()> isDialog;      // the window is the settings dialog
  std::function<bool()> isTabPage;     // the window is a page of the settings dialog
  std::function<bool()> isToolTip;     // the window is the tooltip
  std::function<bool()> isFullScreen;  // the window is exactly screen-sized
  std::function<LONG_PTR()> style;     // the window's GWL_STYLE
  std::function<int()> titleLength;    // GetWindowTextLengthW of the window
  std::function<bool()> targetAlive;   // IsWindow(m_hTarget)
  std::function<bool()> isAppWindow;   // the application-window test of the window
};
// The number (1 to 10) of the first rule that decides; only rule 9 lets the window
// through (Watch::onUpdate answers 0), rule 10 is the "no live target" road.
int targetFilterRule(const TargetFilterQuestions& q);

// Watch::isMoving's memory: the window looked at last and its rectangle then.
struct MoveTracker {
  HWND wnd = NULL;
  RECT rect = {0, 0, 0, 0};
  // 1 when `now` (the window's rectangle, all zero if unknown) differs from the last
  // look at the same window; the first look at a window never counts as moving.
  int look(HWND h, const RECT& now);
};

// The window class name followed by ".EXE".
std::wstring ownExeNameOf(const wchar_t* windowClass);
// The executable's base name, upper-cased under the global locale, equals ownExeName.
bool isOwnExeName(const wchar_t* exeName, const std::wstring& ownExeName);
