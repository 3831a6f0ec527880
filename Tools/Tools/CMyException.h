// The one exception type of the program: thrown by pointer, deleted by the last catcher.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "Dbg.h"

class CMyException {
 public:
  CMyException(const wchar_t* fileName, int line, int level, const wchar_t* callName, int code);
  ~CMyException();
  CMyException(const CMyException&) = delete;
  CMyException& operator=(const CMyException&) = delete;

  // The word of m_levelNames for m_level ("INIT", "INFO", "WARRN", "ERROR").
  const wchar_t* levelWord() const;

  int m_level;

 private:
  // The texts behind m_fileName and m_callName; declared first, so they exist when
  // the pointers are set. The object is neither copied nor moved, so the pointers hold.
  std::wstring m_fileText;
  std::wstring m_callText;

 public:
  wchar_t* m_fileName;  // the throwing source file's path, never null
  int m_line;
  wchar_t* m_callName;  // the failed call, never null
  int m_code;
  std::map<int, const wchar_t*> m_levelNames;
};

// The last catcher's line for an exception of the program, at the catcher's
// file and line: "file(line) ERROR : WARRN : src(line) : call : 0x0000abcd".
void logException(const CMyException* e, const wchar_t* catcherFile, int catcherLine);
#define LOG_MY_EXCEPTION(e) logException((e), DBG_FILE, __LINE__)

// Throws a new CMyException for the calling source file and line.
#define THROW_MY_EXCEPTION(level, callName, code) \
  throw new CMyException(SRC_PATHW, __LINE__, (level), (callName), (int)(code))
