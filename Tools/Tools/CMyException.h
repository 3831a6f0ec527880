// The one exception type of the program: thrown by pointer, deleted by the last catcher.
#pragma once
#include <windows.h>

#include <map>

class CMyException {
 public:
  CMyException(const wchar_t* fileName, int line, int level, const wchar_t* callName, int code);
  ~CMyException();
  CMyException(const CMyException&) = delete;
  CMyException& operator=(const CMyException&) = delete;

  // The word of m_levelNames for m_level ("INIT", "INFO", "WARRN", "ERROR").
  const wchar_t* levelWord();

  int m_level;
  wchar_t* m_fileName;
  int m_line;
  wchar_t* m_callName;
  int m_code;
  std::map<int, const wchar_t*> m_levelNames;
};

// Throws a new CMyException for the calling source file and line.
#define THROW_MY_EXCEPTION(level, callName, code) \
  throw new CMyException(SRC_PATHW, __LINE__, (level), (callName), (int)(code))
