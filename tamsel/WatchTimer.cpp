// Timers of the watcher, blinking and the movable fixed mode.
#include "Watch.h"

void Watch::timerStartBlink() {}
void Watch::timerStartTransWatch() {}
void Watch::timerStartLoopWatch() {}
void Watch::onTimer(UINT_PTR id) {}
void Watch::blinkStep() {}
void Watch::update(const CMySerialize* settings) {}
void Watch::onUpdate(const CMySerialize* settings) {}
int Watch::onTransWatch() { return 0; }
int Watch::transparentOff() { return 0; }
int Watch::isCursorOver() { return 0; }
int Watch::switchStyle(int restore) { return 0; }
void Watch::onMouseLeave() {}
void Watch::clampToScreen(RECT* rect) {}
void Watch::beginSettingDialog() {}
void Watch::endSettingDialog() {}
void Watch::setForeWin(HWND hwnd) {}
