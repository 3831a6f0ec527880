// The settings record and its file "Corvela.xml".
#pragma once
#include <windows.h>

#include <string>

enum DISP_MODE : int { DISP_FLOAT = 0, DISP_FIXED = 1 };

class CMySerialize {
 public:
  CMySerialize();
  CMySerialize(const CMySerialize& other);
  CMySerialize& operator=(const CMySerialize& other);
  ~CMySerialize();

  // 1 when any compared field differs (fontSize and fontStyle are not compared).
  int differs(const CMySerialize& other) const;

  void loadFile();
  void saveFile();

  int blink;
  int alphaOff;
  int alphaOn;
  int blinkSpeed;
  int dMode;
  RECT dModePos;
  int effect;
  int spnVal;
  COLORREF bokasiColor;
  int bokasiOpacity;
  COLORREF imeColorOn;
  COLORREF imeColorOff;
  LOGFONTW logFont;
  int fontSize;
  std::wstring fontStyle;
  COLORREF fontColor;
  float horizontalPos;
  int indShow;
  int iconShow;
  unsigned int loopInterval;
  int transTimerCnt;
  int nonCaptionShow;
};

// The name of the settings file, in the current directory.
#define SETTINGS_FILE_NAME L"Corvela.xml"
