// Debug log "Corvela.log" and the "/DBG:" command-line switch.
#include "Dbg.h"

#include <share.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/filesystem/path.hpp>
#include <memory>
#include <vector>

// The log switches lie in a data section shared by every running copy of the
// executable, so a second start reaches the running copy's switches.
#define LOG_SHARED __attribute__((section(".QrLogSg"), shared))

extern "C" {
__declspec(dllexport) int s_fileOut LOG_SHARED = 0;
__declspec(dllexport) LOG_LEVEL cm_level LOG_SHARED = LOG_ERROR;
__declspec(dllexport) int s_dbgOut LOG_SHARED = 0;
__declspec(dllexport) int cm_dllOut LOG_SHARED = 0;
// 256 wide characters; aligned so it can be used as a wide string.
__declspec(dllexport) char cm_dbgFile[512] LOG_SHARED __attribute__((aligned(8))) = {0};
}

namespace {

constexpr int PREFIX_CHARS = 64;

wchar_t* logPath() { return reinterpret_cast<wchar_t*>(cm_dbgFile); }

bool startsWith(const std::wstring& text, const wchar_t* head) {
  return text.compare(0, wcslen(head), head) == 0;
}

// The character at index, or 0 when the text is shorter.
wchar_t charAt(const std::wstring& text, size_t index) {
  return index < text.size() ? text[index] : L'\0';
}

LOG_LEVEL levelOfWord(const std::wstring& word) {
  if (lstrcmpW(word.c_str(), L"CAUTION") == 0) return LOG_CAUTION;
  if (lstrcmpW(word.c_str(), L"WARN") == 0) return LOG_WARN;
  if (lstrcmpW(word.c_str(), L"ERROR") == 0) return LOG_ERROR;
  return LOG_INFO;
}

void applyDbgValue(STRUCT_CMDLINE_INFO* info, const std::wstring& value) {
  info->dbgOut = charAt(value, 0) == L'1' ? 1 : 0;
  info->dllOut = charAt(value, 1) == L'1' ? 1 : 0;
  info->fileOut = charAt(value, 2) == L'1' ? 1 : 0;
  // The fourth character separates the digits from the level word.
  info->level = levelOfWord(value.size() > 4 ? value.substr(4) : std::wstring());
}

void applyProgDirValue(STRUCT_CMDLINE_INFO* info, const std::wstring& value) {
  if (startsWith(value, L"DEBUG")) {
    info->progDir = 1;
  } else if (startsWith(value, L"RELEASE")) {
    info->progDir = 2;
  } else if (startsWith(value, L"CHILD")) {
    info->progDir = 3;
  }
}

std::wstring currentPrefix() {
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  return logPrefix(utc, GetCurrentProcessId());
}

// Formats the message into buffer (LOG_MESSAGE_CHARS + 1 characters). A
// message that does not fit is cut to LOG_MESSAGE_CHARS characters, the last
// of them a line end, so the next line still starts on a line of its own.
void formatMessage(wchar_t* buffer, const wchar_t* format, va_list args) {
  // A formatting error leaves the buffer as it was: start from zeros so such a
  // line never carries what the stack held before.
  wmemset(buffer, L'\0', LOG_MESSAGE_CHARS + 1);
  int written = _vsnwprintf(buffer, LOG_MESSAGE_CHARS, format, args);
  if (written >= 0 && written < LOG_MESSAGE_CHARS) return;
  buffer[LOG_MESSAGE_CHARS] = L'\0';
  // -1: the message was longer and is cut; it still ends its line.
  if (written < 0) buffer[LOG_MESSAGE_CHARS - 1] = L'\n';
}

// Appends the texts, converted to the multibyte code page, to the log file.
// The stream is in text mode, so each "\n" is stored as CR LF.
void appendToLog(const std::wstring& first, const std::wstring& second) {
  FILE* file = _wfsopen(logPath(), L"a", _SH_DENYNO);
  if (file == nullptr) return;
  std::string bytes = toMultiByte(first);
  if (!second.empty()) bytes += toMultiByte(second);
  fwrite(bytes.data(), 1, bytes.size(), file);
  fflush(file);
  fclose(file);
}

}  // namespace

void parseCommandLine(STRUCT_CMDLINE_INFO* info, const wchar_t* commandLine) {
  std::wstring text = commandLine != nullptr ? commandLine : L"";
  std::vector<std::wstring> tokens;
  boost::algorithm::split(tokens, text, boost::algorithm::is_any_of(L","));
  for (const std::wstring& token : tokens) {
    static const wchar_t PROGDIR[] = L"/PROGDIR:";
    static const wchar_t DBG[] = L"/DBG:";
    if (startsWith(token, PROGDIR)) applyProgDirValue(info, token.substr(wcslen(PROGDIR)));
    if (startsWith(token, DBG)) applyDbgValue(info, token.substr(wcslen(DBG)));
  }
}

void initLog(const wchar_t* fileName, int dbgOut, int dllOut, int fileOut, LOG_LEVEL level) {
  setLogFName(fileName);
  s_dbgOut = dbgOut;
  cm_dllOut = dllOut;
  s_fileOut = fileOut;
  // Created or emptied at every start, whatever the switches say.
  FILE* file = _wfsopen(logPath(), L"w", _SH_DENYNO);
  if (file != nullptr) fclose(file);
  cm_level = level;
}

void setLogFName(const wchar_t* fileName) {
  DWORD length = GetCurrentDirectoryW(0, nullptr);
  std::unique_ptr<wchar_t[]> dir(new wchar_t[length + 1]());
  if (length > 0) GetCurrentDirectoryW(length, dir.get());
  dbgPrintInfo(L"%s(%d) INFO : GetCurrentDirectory() : setLogFName() : dir : %s, len : %d\n",
               DBG_FILE, 195, dir.get(), (int)length);
  std::wstring path = std::wstring(dir.get()) + L"\\" + fileName;
  if (path.size() < (size_t)LOG_PATH_CHARS) {
    lstrcpynW(logPath(), path.c_str(), LOG_PATH_CHARS);
    s_fileOut = 1;
  } else {
    dbgPrintInfo(L"%s(%d) WARRN : Log File Name Buffer Over.\n", DBG_FILE, 201);
  }
}

void dbgPrint(LOG_LEVEL level, const wchar_t* format, ...) {
  if (s_dbgOut == 0 || (int)level < (int)cm_level) return;
  std::wstring prefix = currentPrefix();
  wchar_t message[LOG_MESSAGE_CHARS + 1];
  va_list args;
  va_start(args, format);
  formatMessage(message, format, args);
  va_end(args);
  if (s_fileOut == 0) return;
  appendToLog(prefix, message);
}

void dbgPrintInfo(const wchar_t* format, ...) {
  if (s_dbgOut == 0 || (int)cm_level > (int)LOG_INFO) return;
  std::wstring prefix = currentPrefix();
  if (s_fileOut != 0) appendToLog(prefix, L"");
  wchar_t message[LOG_MESSAGE_CHARS + 1];
  va_list args;
  va_start(args, format);
  formatMessage(message, format, args);
  va_end(args);
  if (s_fileOut != 0) appendToLog(message, L"");
}

std::wstring fileNameOf(const wchar_t* path) {
  return boost::filesystem::path(path != nullptr ? path : L"").filename().wstring();
}

const wchar_t* levelName(LOG_LEVEL level) {
  switch ((int)level) {
    case LOG_WARN:
      return L"WARN";
    case LOG_ERROR:
      return L"ERROR";
    case LOG_CAUTION:
      return L"CAUTION";
    default:
      return L"INFO";
  }
}

std::string toMultiByte(const std::wstring& text) {
  size_t size = 0;
  if (wcstombs_s(&size, nullptr, 0, text.c_str(), 0) != 0 || size == 0) return std::string();
  std::unique_ptr<char[]> bytes(new char[size]());
  size_t converted = 0;
  if (wcstombs_s(&converted, bytes.get(), size, text.c_str(), _TRUNCATE) != 0) return std::string();
  return std::string(bytes.get());
}

std::wstring logPrefix(const SYSTEMTIME& utc, DWORD processId) {
  wchar_t prefix[PREFIX_CHARS];
  int written = _snwprintf(prefix, PREFIX_CHARS, L"%0.2d:%0.2d:%0.2d_%0.3d[%0.4d] ", utc.wHour,
                           utc.wMinute, utc.wSecond, utc.wMilliseconds, (int)processId);
  if (written < 0 || written >= PREFIX_CHARS) prefix[PREFIX_CHARS - 1] = L'\0';
  return prefix;
}
