// The exception type: what it carries and how the catchers print it.
#include "CMyException.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Dbg.h"
#include "SettingsTestSupport.h"

namespace {

std::unique_ptr<CMyException> catchThrown(int level, const wchar_t* callName, int code, int* line) {
  try {
    *line = __LINE__ + 1;
    THROW_MY_EXCEPTION(level, callName, code);
  } catch (CMyException* e) {
    return std::unique_ptr<CMyException>(e);
  }
  return nullptr;
}

TEST(CMyException, CarriesWhatTheThrowerKnew) {
  int line = 0;
  auto e = catchThrown(3, L"GetThemeBitmap()", E_FAIL, &line);
  ASSERT_NE(nullptr, e);
  EXPECT_EQ(3, e->m_level);
  EXPECT_EQ(line, e->m_line);
  EXPECT_EQ(L"CMyException_test.cpp", fileNameOf(e->m_fileName));
  EXPECT_STREQ(L"GetThemeBitmap()", e->m_callName);
  EXPECT_EQ((int)E_FAIL, e->m_code);
  EXPECT_STREQ(L"ERROR", e->levelWord());
}

TEST(CMyException, LevelWordsDifferFromTheLogLevels) {
  const wchar_t* words[] = {L"INIT", L"INFO", L"WARRN", L"ERROR"};
  for (int level = 0; level < 4; ++level) {
    CMyException e(L"f.cpp", 1, level, L"Call()", -1);
    EXPECT_STREQ(words[level], e.levelWord()) << level;
    EXPECT_EQ(4u, e.m_levelNames.size());
  }
  CMyException unknown(L"f.cpp", 1, 9, L"Call()", -1);
  EXPECT_STREQ(L"", unknown.levelWord());  // an unknown level prints an empty word, never null
}

TEST(CMyException, KeepsCopiesOfTheStrings) {
  std::wstring path = L"C:\\src\\tamsel\\MyApp.cpp";
  std::wstring call = L"CreateBitmapFromHICON()";
  CMyException* e = new CMyException(path.c_str(), 77, 3, call.c_str(), -1);
  path.assign(path.size(), L'#');
  call.assign(call.size(), L'#');
  path.clear();
  call.clear();
  EXPECT_STREQ(L"C:\\src\\tamsel\\MyApp.cpp", e->m_fileName);
  EXPECT_STREQ(L"CreateBitmapFromHICON()", e->m_callName);
  EXPECT_EQ(77, e->m_line);
  delete e;
}

TEST(CMyException, EmptyAndLongNames) {
  std::wstring longName(5000, L'n');
  CMyException e(L"", 0, 0, longName.c_str(), 0);
  EXPECT_STREQ(L"", e.m_fileName);
  EXPECT_EQ(longName, std::wstring(e.m_callName));
}

// The last catcher's line: the catcher's file and line, the exception's level word,
// source path and line, call, and the code as eight hexadecimal digits.
TEST(CMyException, CatcherLinePrintsCodesAsEightHexDigits) {
  sts::SavedLogState saved;
  sts::ScopedTempDir dir;
  ASSERT_TRUE(dir.ok());
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  const HRESULT codes[] = {(HRESULT)-1, E_FAIL, S_OK};
  for (HRESULT code : codes) {
    CMyException e(L"C:\\src\\tamsel\\MyApp.cpp", 321, 2, L"EndDraw()", (int)code);
    logException(&e, L"tamsel.cpp", 55);
  }
  CMyException empty(L"", 0, 0, L"", 7);
  logException(&empty, L"Watch.cpp", 1234);
  logException(nullptr, L"Watch.cpp", 1235);  // nothing to write
  const int macroLine = __LINE__ + 1;
  LOG_MY_EXCEPTION(&empty);

  auto lines = sts::splitCrLf(sts::readBytes(L"Corvela.log"));
  ASSERT_EQ(5u, lines.size());
  for (auto& line : lines) line = line.substr(line.find(' ') + 1);  // time and process off
  const std::string tail =
      "tamsel.cpp              (   55) ERROR    : WARRN : C:\\src\\tamsel\\MyApp.cpp(321) : "
      "EndDraw() : ";
  EXPECT_EQ(tail + "0xffffffff", lines[0]);
  EXPECT_EQ(tail + "0x80004005", lines[1]);
  EXPECT_EQ(tail + "0x00000000", lines[2]);
  EXPECT_EQ("Watch.cpp               ( 1234) ERROR    : INIT : (0) :  : 0x00000007", lines[3]);
  char own[96];
  snprintf(own, sizeof own, "CMyException_test.cpp   (%5d) ERROR    : ", macroLine);
  EXPECT_EQ(0u, lines[4].find(own)) << lines[4];

  EXPECT_EQ(lines[4].size() - 10, lines[4].find("0x00000007")) << lines[4];

  // With only CAUTION lines wanted, the catcher writes nothing.
  initLog(L"Quiet.log", 1, 1, 1, LOG_CAUTION);
  logException(&empty, L"Watch.cpp", 1236);
  EXPECT_EQ("", sts::readBytes(L"Quiet.log"));
}

}  // namespace
