// Debug log "Corvela.log" and the "/DBG:" command-line switch.
#pragma once
#include <windows.h>

#include <string>

// Levels of a line and of the threshold. (Plain ERROR is a macro of wingdi.h.)
enum LOG_LEVEL : int { LOG_INFO = 0, LOG_WARN = 1, LOG_ERROR = 2, LOG_CAUTION = 3 };

struct STRUCT_CMDLINE_INFO {
  int progDir;  // 1 DEBUG, 2 RELEASE, 3 CHILD
  int dbgOut;
  int dllOut;
  int fileOut;
  LOG_LEVEL level;
};

// Log switches shared by every running copy of the executable.
extern "C" {
extern __declspec(dllexport) int s_fileOut;
extern __declspec(dllexport) LOG_LEVEL cm_level;
extern __declspec(dllexport) int s_dbgOut;
extern __declspec(dllexport) int cm_dllOut;
extern __declspec(dllexport) char cm_dbgFile[512];
}

constexpr int LOG_PATH_CHARS = 256;  // cm_dbgFile as wide characters
constexpr int LOG_MESSAGE_CHARS = 511;

void parseCommandLine(STRUCT_CMDLINE_INFO* info, const wchar_t* commandLine);
void initLog(const wchar_t* fileName, int dbgOut, int dllOut, int fileOut, LOG_LEVEL level);
void setLogFName(const wchar_t* fileName);
void dbgPrint(LOG_LEVEL level, const wchar_t* format, ...);
void dbgPrintInfo(const wchar_t* format, ...);
std::wstring fileNameOf(const wchar_t* path);
const wchar_t* levelName(LOG_LEVEL level);
std::string toMultiByte(const std::wstring& text);
// The prefix of every log line, for the given UTC time and process id.
std::wstring logPrefix(const SYSTEMTIME& utc, DWORD processId);

#define CORVELA_WIDEN2(x) L##x
#define CORVELA_WIDEN(x) CORVELA_WIDEN2(x)
// The caller's source path as a wide string, and its file name as every log
// format's first argument: dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : ...\n",
// DBG_FILE, __LINE__, L"ERROR", ...).
#define SRC_PATHW CORVELA_WIDEN(__FILE__)
#define DBG_FILE (fileNameOf(SRC_PATHW).c_str())

// True when a line of this level would be written.
inline bool dbgWants(LOG_LEVEL level) { return s_dbgOut != 0 && (int)level >= (int)cm_level; }

// The one way to write a log line: "file(line) WORD : text\n". The arguments are
// evaluated only when the line passes the level test.
//   DBG_LOG(LOG_ERROR, L"CreateDC() : %x", code);             this line's number
//   DBG_LOG_AT(LOG_INFO, 81, L"No serialize file(%s).", name); a fixed line number
//   DBG_LOG_WORD(LOG_INFO, 81, L"ERROR", L"...");             a word that is not the level's
//   DBG_LOG_LASTERR(LOG_ERROR, L"CreateWindowEx()");          appends " : %x" of GetLastError
// text is a wide string literal; the line end is added.
#define DBG_LOG_WORD(level, line, word, text, ...)                                       \
  do {                                                                                   \
    if (dbgWants(level))                                                                 \
      dbgPrint((level), L"%-24s(%5d) %-8s : " text L"\n", DBG_FILE, (int)(line), (word), \
               ##__VA_ARGS__);                                                           \
  } while (0)
#define DBG_LOG_AT(level, line, text, ...) \
  DBG_LOG_WORD(level, line, levelName(level), text, ##__VA_ARGS__)
#define DBG_LOG(level, text, ...) DBG_LOG_AT(level, __LINE__, text, ##__VA_ARGS__)
// GetLastError is read before anything else the line does can change it.
#define DBG_LOG_LASTERR_AT(level, line, text, ...)                        \
  do {                                                                    \
    const unsigned dbgLastError_ = (unsigned)GetLastError();              \
    DBG_LOG_AT(level, line, text L" : %x", ##__VA_ARGS__, dbgLastError_); \
  } while (0)
#define DBG_LOG_LASTERR(level, text, ...) DBG_LOG_LASTERR_AT(level, __LINE__, text, ##__VA_ARGS__)
