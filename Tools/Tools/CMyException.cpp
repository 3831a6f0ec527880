// The one exception type of the program.
#include "CMyException.h"

namespace {

// A copy of text that always ends with its terminator.
wchar_t* copyText(const wchar_t* text) {
  if (text == nullptr) text = L"";
  int length = lstrlenW(text);
  wchar_t* copy = new wchar_t[length + 1];
  lstrcpynW(copy, text, length + 1);
  return copy;
}

}  // namespace

CMyException::CMyException(const wchar_t* fileName, int line, int level, const wchar_t* callName,
                           int code)
    : m_level(0), m_fileName(nullptr), m_line(-1), m_callName(nullptr), m_code(-1) {
  m_levelNames[0] = L"INIT";
  m_levelNames[1] = L"INFO";
  m_levelNames[2] = L"WARRN";
  m_levelNames[3] = L"ERROR";
  m_level = level;
  m_fileName = copyText(fileName);
  m_line = line;
  m_callName = copyText(callName);
  m_code = code;
}

CMyException::~CMyException() {
  delete[] m_fileName;
  delete[] m_callName;
}

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
