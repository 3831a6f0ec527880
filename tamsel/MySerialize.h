// The settings record and its file "Corvela.xml".
#pragma once
#include <windows.h>

#include <iosfwd>
#include <string>

#include "tamselDefs.h"

class CMySerialize {
 public:
  CMySerialize();
  CMySerialize(const CMySerialize& other);
  CMySerialize& operator=(const CMySerialize& other);
  ~CMySerialize();

  // 1 when any compared field differs (fontSize and fontStyle are not compared).
  int differs(const CMySerialize& other) const;

  // Fills the record from "Corvela.xml" in the current directory, or writes the
  // defaults there when there is no such file. A file that cannot be read shows
  // the broken-file box and ends the program with exit code -1.
  void loadFile();
  // Writes the record to "Corvela.xml"; a failure is logged, never thrown, and
  // leaves the old file as it was.
  void saveFile();
  // The same for a settings file of another name or place.
  void loadFileAt(const std::wstring& path);
  void saveFileAt(const std::wstring& path);

  // The archive itself. readArchive leaves the record unchanged and returns
  // false with the reason in *error when the archive cannot be read.
  bool readArchive(std::istream& in, std::string* error);
  void writeArchive(std::ostream& out) const;  // throws when the stream fails
  // The archive in a file. writeFile writes a temporary file beside path and
  // puts it in place of path only when the whole archive was written.
  bool readFile(const std::wstring& path, std::string* error);
  bool writeFile(const std::wstring& path) const;

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

  // Set when the settings file exists but could not be read: saveFile then
  // leaves that file alone so the user's settings are not lost.
  bool m_keepFile = false;
};

// The name of the settings file, in the current directory.
#define SETTINGS_FILE_NAME L"Corvela.xml"
// Caption of the boxes that report a fatal failure.
#define APP_ERROR_CAPTION L"tamsel : アプリケーション異常"

// Text of the box shown for a settings file that cannot be read.
std::wstring settingsBrokenText(const wchar_t* fileName = SETTINGS_FILE_NAME);

// lfHeight of the default 12-point font on a screen of the given dots per inch.
int defaultFontHeight(int logPixelsY);

// The face and style names as stored in the file: bytes of the Japanese code
// page 932, the multibyte code page of the process once a record has been
// made. A character the code page lacks is stored as '?'. fromSettingsBytes
// throws std::runtime_error on bytes that are not valid in the code page.
std::string toSettingsBytes(const std::wstring& text);
std::wstring fromSettingsBytes(const std::string& bytes);

// horizontalPos as stored: general notation, 8 significant digits ("80",
// "33.333332"). The reader takes what a stream read of a float takes: a finite
// decimal or scientific form, blanks around it.
std::string formatHorizontalPos(float value);
bool parseHorizontalPos(const std::string& text, float* value);
// Where a stored horizontalPos is shown and drawn, in percent: a value outside
// 0 to 100 at the nearer end. The record keeps the value as stored.
float shownHorizontalPos(float stored);

// How the existence test of the settings file came out.
enum class SettingsFileState { Missing, Present, Unknown };
SettingsFileState settingsFileState(const std::wstring& path, std::wstring* reason);
