// The one exception type of the program.
#include "CMyException.h"

CMyException::CMyException(const wchar_t* fileName, int line, int level, const wchar_t* callName,
                           int code)
    : m_level(level),
      m_fileText(fileName != nullptr ? fileName : L""),
      m_callText(callName != nullptr ? callName : L""),
      m_fileName(&m_fileText[0]),
      m_line(line),
      m_callName(&m_callText[0]),
      m_code(code) {
  m_levelNames[0] = L"INIT";
  m_levelNames[1] = L"INFO";
  m_levelNames[2] = L"WARRN";
  m_levelNames[3] = L"ERROR";
}

CMyException::~CMyException() = default;

const wchar_t* CMyException::levelWord() const {
  auto found = m_levelNames.find(m_level);
  return found != m_levelNames.end() ? found->second : L"";
}

void logException(const CMyException* e, const wchar_t* catcherFile, int catcherLine) {
  if (e == nullptr || !dbgWants(LOG_ERROR)) return;
  dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : %s : %s(%d) : %s : 0x%0.8x\n", catcherFile, catcherLine,
           L"ERROR", e->levelWord(), e->m_fileName ? e->m_fileName : L"", e->m_line,
           e->m_callName ? e->m_callName : L"", (unsigned)e->m_code);
}
