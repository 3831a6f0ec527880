// The settings record: defaults, copy, compare, and loading and saving "Corvela.xml".
#include "MySerialize.h"

#include <locale.h>
#include <string.h>

#include <boost/filesystem/operations.hpp>
#include <boost/format.hpp>

#include "Dbg.h"
#include "UniqueAny.h"
#include "tamsel.h"

namespace {

// The process-wide character-type locale: Japanese, code page 932. The log,
// the settings file and the watcher's upper-casing all convert through it.
void setJapaneseLocale() {
  if (setlocale(LC_CTYPE, "japanese") == nullptr) {
    DBG_LOG(LOG_WARN, L"setlocale(LC_CTYPE, japanese) failed");
  }
}

int screenLogPixelsY() {
  UniqueWindowDC screen = getWindowDC(nullptr);
  if (!screen) return 96;
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

void setDefaultFont(LOGFONTW* font) {
  memset(font, 0, sizeof(*font));
  font->lfHeight = defaultFontHeight(screenLogPixelsY());
  font->lfWeight = 0;
  font->lfCharSet = SHIFTJIS_CHARSET;
  font->lfOutPrecision = 0;
  font->lfClipPrecision = 0;
  font->lfQuality = 0;
  font->lfPitchAndFamily = 16;
  lstrcpynW(font->lfFaceName, L"メイリオ", LF_FACESIZE);
}

}  // namespace

int defaultFontHeight(int logPixelsY) { return -MulDiv(12, logPixelsY, 72); }

float shownHorizontalPos(float stored) {
  if (!(stored > 0.0f)) return 0.0f;  // NaN included
  return stored < 100.0f ? stored : 100.0f;
}

std::wstring settingsBrokenText(const wchar_t* fileName) {
  return (boost::wformat(L"異常発生 : 設定ファイル　%1%") % fileName).str();
}

CMySerialize::CMySerialize() {
  setJapaneseLocale();
  blink = 0;
  alphaOff = 60;
  alphaOn = 60;
  blinkSpeed = 800;
  dMode = DISP_FLOAT;
  dModePos = RECT{0, 0, 250, 50};
  effect = 0;
  spnVal = 40;
  bokasiColor = 0x000000;
  bokasiOpacity = 80;
  imeColorOn = 0xC080FF;
  imeColorOff = 0x40FF00;
  setDefaultFont(&logFont);
  fontSize = 12;
  fontStyle = L"レギュラー";
  fontColor = 0xFFFFFF;
  horizontalPos = 80.0f;
  indShow = 1;
  iconShow = 1;
  loopInterval = 200;
  transTimerCnt = 5;
  nonCaptionShow = 0;
}

CMySerialize::CMySerialize(const CMySerialize& other) { *this = other; }

CMySerialize& CMySerialize::operator=(const CMySerialize& other) {
  if (this == &other) return *this;
  blink = other.blink;
  alphaOff = other.alphaOff;
  alphaOn = other.alphaOn;
  blinkSpeed = other.blinkSpeed;
  dMode = other.dMode;
  dModePos = other.dModePos;
  effect = other.effect;
  spnVal = other.spnVal;
  bokasiColor = other.bokasiColor;
  bokasiOpacity = other.bokasiOpacity;
  imeColorOn = other.imeColorOn;
  imeColorOff = other.imeColorOff;
  memcpy(&logFont, &other.logFont, sizeof(logFont));
  fontSize = other.fontSize;
  fontStyle = other.fontStyle;
  fontColor = other.fontColor;
  horizontalPos = other.horizontalPos;
  indShow = other.indShow;
  iconShow = other.iconShow;
  loopInterval = other.loopInterval;
  transTimerCnt = other.transTimerCnt;
  nonCaptionShow = other.nonCaptionShow;
  m_keepFile = other.m_keepFile;
  return *this;
}

CMySerialize::~CMySerialize() {}

int CMySerialize::differs(const CMySerialize& other) const {
  bool same = blink == other.blink && alphaOff == other.alphaOff && alphaOn == other.alphaOn &&
              blinkSpeed == other.blinkSpeed && dMode == other.dMode &&
              dModePos.left == other.dModePos.left && dModePos.top == other.dModePos.top &&
              dModePos.right == other.dModePos.right && dModePos.bottom == other.dModePos.bottom &&
              nonCaptionShow == other.nonCaptionShow && effect == other.effect &&
              spnVal == other.spnVal && fontColor == other.fontColor &&
              bokasiColor == other.bokasiColor && bokasiOpacity == other.bokasiOpacity &&
              imeColorOn == other.imeColorOn && imeColorOff == other.imeColorOff &&
              memcmp(&logFont, &other.logFont, sizeof(logFont)) == 0 &&
              horizontalPos == other.horizontalPos &&  // false for NaN
              indShow == other.indShow && iconShow == other.iconShow &&
              loopInterval == other.loopInterval && transTimerCnt == other.transTimerCnt;
  return same ? 0 : 1;
}

SettingsFileState settingsFileState(const std::wstring& path, std::wstring* reason) {
  boost::system::error_code ec;
  boost::filesystem::file_status status = boost::filesystem::status(path, ec);
  if (status.type() == boost::filesystem::file_not_found) return SettingsFileState::Missing;
  if (ec) {
    if (reason != nullptr) {
      *reason = L"status() : " + std::to_wstring(ec.value());
    }
    return SettingsFileState::Unknown;
  }
  return SettingsFileState::Present;
}

void CMySerialize::loadFile() { loadFileAt(SETTINGS_FILE_NAME); }

void CMySerialize::saveFile() { saveFileAt(SETTINGS_FILE_NAME); }

void CMySerialize::loadFileAt(const std::wstring& path) {
  std::wstring reason;
  switch (settingsFileState(path, &reason)) {
    case SettingsFileState::Missing:
      dbgPrintInfo(L"%s(%d) INFO : No serialize file(%s).\n", DBG_FILE, 81, path.c_str());
      saveFileAt(path);
      return;
    case SettingsFileState::Unknown:
      // Whether the file is there cannot be told: run on the current values
      // and never write over a file that may hold the user's settings.
      DBG_LOG(LOG_ERROR, L"loadFile() : %s : %s : not loaded, kept as it is", path.c_str(),
              reason.c_str());
      m_keepFile = true;
      return;
    case SettingsFileState::Present:
      break;
  }
  std::string error;
  if (readFile(path, &error)) return;
  std::wstring wideError(error.begin(), error.end());
  DBG_LOG(LOG_ERROR, L"loadFile() : %s : %s", path.c_str(), wideError.c_str());
  m_keepFile = true;
  MessageBoxW(g_hMainWnd, settingsBrokenText(path.c_str()).c_str(), APP_ERROR_CAPTION,
              MB_ICONERROR);
  PostQuitMessage(-1);
}

void CMySerialize::saveFileAt(const std::wstring& path) {
  if (m_keepFile) {
    DBG_LOG(LOG_ERROR, L"saveFile() : %s could not be read; not overwritten", path.c_str());
    return;
  }
  try {
    writeFile(path);  // logs its own failures
  } catch (...) {
    DBG_LOG(LOG_ERROR, L"saveFile() : %s : unexpected failure", path.c_str());
  }
}
