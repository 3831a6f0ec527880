// The debug log: the "/DBG:" switch, the log file and its lines.
#include "Dbg.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <locale.h>

#include <cstdio>
#include <regex>
#include <string>

#include "SettingsTestSupport.h"

namespace {

// A copy of this test program started with this variable set only writes the
// value into the shared log section and ends: see SharedLogSection below.
const wchar_t kChildVariable[] = L"CORVELA_SHARED_SECTION_CHILD";

struct SharedSectionChild {
  SharedSectionChild() {
    wchar_t value[32] = {0};
    if (GetEnvironmentVariableW(kChildVariable, value, 32) > 0) {
      cm_dllOut = _wtoi(value);
      ExitProcess(0);
    }
  }
} s_sharedSectionChild;

// ---------------------------------------------------------------- command line

struct CommandLineCase {
  const wchar_t* text;
  STRUCT_CMDLINE_INFO expected;  // progDir, dbgOut, dllOut, fileOut, level
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
  for (const wchar_t* p = c.text; *p; ++p) *os << (char)*p;
}

// What the program entry fills in before parsing.
STRUCT_CMDLINE_INFO entryDefaults() { return STRUCT_CMDLINE_INFO{0, 1, 1, 1, LOG_ERROR}; }

class CommandLineTable : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTable, GivesTheFields) {
  const CommandLineCase& c = GetParam();
  STRUCT_CMDLINE_INFO info = entryDefaults();
  parseCommandLine(&info, c.text);
  EXPECT_EQ(c.expected.progDir, info.progDir);
  EXPECT_EQ(c.expected.dbgOut, info.dbgOut);
  EXPECT_EQ(c.expected.dllOut, info.dllOut);
  EXPECT_EQ(c.expected.fileOut, info.fileOut);
  EXPECT_EQ(c.expected.level, info.level);
}

INSTANTIATE_TEST_SUITE_P(
    Dbg, CommandLineTable,
    ::testing::Values(
        // Nothing for the log: the entry's values stand.
        CommandLineCase{L"", {0, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"hello world", {0, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L",,,", {0, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"/dbg:111:ERROR", {0, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L" /DBG:000:WARN", {0, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"DBG:000:WARN", {0, 1, 1, 1, LOG_ERROR}},
        // The digits and the level word.
        CommandLineCase{L"/DBG:101-WARN", {0, 1, 0, 1, LOG_WARN}},
        CommandLineCase{L"/DBG:111:ERROR", {0, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"/DBG:011:CAUTION", {0, 0, 1, 1, LOG_CAUTION}},
        CommandLineCase{L"/DBG:110XINFO", {0, 1, 1, 0, LOG_INFO}},
        CommandLineCase{L"/DBG:111:error", {0, 1, 1, 1, LOG_INFO}},
        CommandLineCase{L"/DBG:111:Warn", {0, 1, 1, 1, LOG_INFO}},
        CommandLineCase{L"/DBG:111:WARNING", {0, 1, 1, 1, LOG_INFO}},
        CommandLineCase{L"/DBG:111:WARN ", {0, 1, 1, 1, LOG_INFO}},
        CommandLineCase{L"/DBG:111:", {0, 1, 1, 1, LOG_INFO}},
        CommandLineCase{L"/DBG:111", {0, 1, 1, 1, LOG_INFO}},
        CommandLineCase{L"/DBG:1", {0, 1, 0, 0, LOG_INFO}},
        CommandLineCase{L"/DBG:", {0, 0, 0, 0, LOG_INFO}},
        CommandLineCase{L"/DBG:2a1:CAUTION", {0, 0, 0, 1, LOG_CAUTION}},
        CommandLineCase{L"/DBG:111:ERROR /PROGDIR:DEBUG", {0, 1, 1, 1, LOG_INFO}},
        // Empty tokens around and between the real ones match nothing.
        CommandLineCase{L",/DBG:100:WARN,,/PROGDIR:CHILD,", {3, 1, 0, 0, LOG_WARN}},
        // A later token overrides an earlier one.
        CommandLineCase{L"/DBG:111:INFO,/DBG:000:CAUTION", {0, 0, 0, 0, LOG_CAUTION}},
        CommandLineCase{L"/PROGDIR:RELEASE,/PROGDIR:CHILD", {3, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"/PROGDIR:RELEASE,/PROGDIR:other", {2, 1, 1, 1, LOG_ERROR}},
        // /PROGDIR: values are exact-case prefixes.
        CommandLineCase{L"/PROGDIR:DEBUG", {1, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"/PROGDIR:DEBUGGING", {1, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"/PROGDIR:debug", {0, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"/PROGDIR:", {0, 1, 1, 1, LOG_ERROR}},
        CommandLineCase{L"/PROGDIR:RELEASE,/DBG:001:WARN", {2, 0, 0, 1, LOG_WARN}}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) {
      std::string name = "n" + std::to_string(info.index) + "_";
      for (const wchar_t* p = info.param.text; *p; ++p) name += iswalnum(*p) ? (char)*p : '_';
      return name;
    });

// ---------------------------------------------------------------- pure helpers

TEST(DbgHelpers, PrefixHasTimeMillisecondsAndProcessId) {
  SYSTEMTIME t = {};
  t.wHour = 8;
  t.wMinute = 5;
  t.wSecond = 9;
  t.wMilliseconds = 42;
  EXPECT_EQ(L"08:05:09_042[0932] ", logPrefix(t, 932));
  t.wHour = 23;
  t.wMinute = 59;
  t.wSecond = 59;
  t.wMilliseconds = 999;
  EXPECT_EQ(L"23:59:59_999[0007] ", logPrefix(t, 7));
  EXPECT_EQ(L"23:59:59_999[123456] ", logPrefix(t, 123456));  // long ids print in full
}

TEST(DbgHelpers, LevelWords) {
  EXPECT_STREQ(L"INFO", levelName(LOG_INFO));
  EXPECT_STREQ(L"WARN", levelName(LOG_WARN));
  EXPECT_STREQ(L"ERROR", levelName(LOG_ERROR));
  EXPECT_STREQ(L"CAUTION", levelName(LOG_CAUTION));
  EXPECT_STREQ(L"INFO", levelName((LOG_LEVEL)4));
  EXPECT_STREQ(L"INFO", levelName((LOG_LEVEL)-1));
}

TEST(DbgHelpers, FileNameOfTakesThePartAfterTheLastSeparator) {
  EXPECT_EQ(L"Dbg.cpp", fileNameOf(L"C:\\src\\Tools\\Tools\\Dbg.cpp"));
  EXPECT_EQ(L"Watch.cpp", fileNameOf(L"/work/main/tamsel/Watch.cpp"));
  EXPECT_EQ(L"mixed.cpp", fileNameOf(L"C:\\a/b\\mixed.cpp"));
  EXPECT_EQ(L"plain.cpp", fileNameOf(L"plain.cpp"));
  EXPECT_EQ(L".", fileNameOf(L"C:\\src\\dir\\"));
  EXPECT_EQ(L"Dbg_test.cpp", std::wstring(DBG_FILE));
}

TEST(DbgHelpers, ToMultiByteFollowsTheCurrentLocale) {
  sts::SavedLogState saved;
  setlocale(LC_CTYPE, "C");
  EXPECT_EQ("abc\n", toMultiByte(L"abc\n"));
  EXPECT_EQ("", toMultiByte(L"メイリオ"));  // not convertible at start-up
  ASSERT_NE(nullptr, setlocale(LC_CTYPE, "japanese"));
  EXPECT_EQ("\x83\x81\x83\x43\x83\x8A\x83\x49", toMultiByte(L"メイリオ"));
  EXPECT_EQ("", toMultiByte(L""));
}

// ---------------------------------------------------------------- the log file

class LogFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dir.ok()); }
  std::string logBytes() { return sts::readBytes(m_dir.path() + L"\\Corvela.log"); }
  std::vector<std::string> logLines() { return sts::splitCrLf(logBytes()); }
  // The line without its prefix; fails when the prefix is not well formed.
  static std::string body(const std::string& line) {
    static const std::regex prefix("^[0-2][0-9]:[0-5][0-9]:[0-5][0-9]_[0-9]{3}\\[[0-9]{4,}\\] ");
    std::smatch m;
    EXPECT_TRUE(std::regex_search(line, m, prefix)) << line;
    return m.empty() ? line : line.substr(m.length(0));
  }

  sts::SavedLogState m_saved;
  sts::ScopedTempDir m_dir;
};

TEST_F(LogFile, InitLogEmptiesTheFileEvenWithFileOutputOff) {
  sts::writeBytes(L"Corvela.log", "old contents\r\n");
  initLog(L"Corvela.log", 1, 1, 0, LOG_INFO);
  EXPECT_TRUE(sts::fileExists(L"Corvela.log"));
  EXPECT_EQ("", logBytes());
  EXPECT_EQ(0, s_fileOut);
  EXPECT_EQ(1, s_dbgOut);
  EXPECT_EQ(1, cm_dllOut);
  EXPECT_EQ(LOG_INFO, cm_level);
  EXPECT_EQ(m_dir.path() + L"\\Corvela.log", sts::logPathNow());
  dbgPrint(LOG_CAUTION, L"dropped\n");  // file output is off
  EXPECT_EQ("", logBytes());
}

TEST_F(LogFile, DefaultThresholdWritesErrorAndCautionOnly) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  dbgPrint(LOG_INFO, L"info\n");
  dbgPrint(LOG_WARN, L"warn\n");
  dbgPrint(LOG_ERROR, L"error\n");
  dbgPrint(LOG_CAUTION, L"caution\n");
  dbgPrintInfo(L"printInfo\n");
  auto lines = logLines();
  ASSERT_EQ(2u, lines.size()) << logBytes();
  EXPECT_EQ("error", body(lines[0]));
  EXPECT_EQ("caution", body(lines[1]));
}

TEST_F(LogFile, InfoThresholdWritesEveryLine) {
  initLog(L"Corvela.log", 1, 0, 1, LOG_INFO);
  dbgPrint(LOG_INFO, L"info\n");
  dbgPrint(LOG_WARN, L"warn\n");
  dbgPrintInfo(L"%s(%d) INFO : No serialize file(%s).\n", L"MySerialize.cpp", 81, L"Corvela.xml");
  dbgPrint((LOG_LEVEL)-1, L"below info\n");  // signed comparison: below the threshold
  auto lines = logLines();
  ASSERT_EQ(3u, lines.size()) << logBytes();
  EXPECT_EQ("info", body(lines[0]));
  EXPECT_EQ("warn", body(lines[1]));
  EXPECT_EQ("MySerialize.cpp(81) INFO : No serialize file(Corvela.xml).", body(lines[2]));
}

TEST_F(LogFile, NothingIsWrittenWhileLoggingIsOff) {
  initLog(L"Corvela.log", 0, 1, 1, LOG_INFO);
  dbgPrint(LOG_CAUTION, L"caution\n");
  dbgPrintInfo(L"info\n");
  EXPECT_EQ("", logBytes());
}

TEST_F(LogFile, CallerConventionWithWideArgumentsAndCrLf) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : %s : 0x%0.8x\n", DBG_FILE, 123, L"ERROR", L"Call()",
           (unsigned)-1);
  dbgPrint(LOG_ERROR, L"two\nlines\n");
  std::string bytes = logBytes();
  EXPECT_EQ(std::string::npos, bytes.find("\n\n"));
  EXPECT_EQ(std::string::npos, bytes.find("\r\r"));
  auto lines = sts::splitCrLf(bytes);
  ASSERT_EQ(3u, lines.size()) << bytes;
  EXPECT_EQ("Dbg_test.cpp            (  123) ERROR    : Call() : 0xffffffff", body(lines[0]));
  EXPECT_EQ("two", body(lines[1]));
  EXPECT_EQ("lines", lines[2]);  // the second line of one message has no prefix
  EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
}

// What a DBG_LOG line of this file carries after its prefix.
std::string callerBody(int line, const char* word, const char* text) {
  char body[256];
  snprintf(body, sizeof body, "%-24s(%5d) %-8s : %s", "Dbg_test.cpp", line, word, text);
  return body;
}

TEST_F(LogFile, LogMacrosFillFileLineAndWordAndEvaluateNothingBelowTheLevel) {
  initLog(L"Corvela.log", 1, 0, 1, LOG_WARN);
  int evaluated = 0;
  auto argument = [&] { return ++evaluated; };
  DBG_LOG(LOG_INFO, L"below %d", argument());
  SetLastError(0x57);
  DBG_LOG_LASTERR(LOG_INFO, L"below() %d", argument());
  EXPECT_EQ(0, evaluated);

  const int keptLine = __LINE__ + 1;
  DBG_LOG(LOG_WARN, L"kept %d", argument());
  DBG_LOG_AT(LOG_ERROR, 81, L"fixed %s", L"line");
  DBG_LOG_WORD(LOG_CAUTION, 5, L"WARRN", L"own word");
  SetLastError(0x57);
  const int lastErrorLine = __LINE__ + 1;
  DBG_LOG_LASTERR(LOG_ERROR, L"Call(%d)", 3);
  EXPECT_EQ(1, evaluated);

  auto lines = logLines();
  ASSERT_EQ(4u, lines.size()) << logBytes();
  EXPECT_EQ(callerBody(keptLine, "WARN", "kept 1"), body(lines[0]));
  EXPECT_EQ(callerBody(81, "ERROR", "fixed line"), body(lines[1]));
  EXPECT_EQ(callerBody(5, "WARRN", "own word"), body(lines[2]));
  EXPECT_EQ(callerBody(lastErrorLine, "ERROR", "Call(3) : 57"), body(lines[3]));
}

TEST_F(LogFile, PrefixCarriesThisProcessId) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  dbgPrint(LOG_ERROR, L"x\n");
  char id[32];
  snprintf(id, sizeof(id), "[%04lu] x", GetCurrentProcessId());
  auto lines = logLines();
  ASSERT_EQ(1u, lines.size());
  EXPECT_NE(std::string::npos, lines[0].find(id)) << lines[0];
}

TEST_F(LogFile, LongMessageIsCutButEndsItsLine) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  std::wstring longText(600, L'x');
  dbgPrint(LOG_ERROR, L"%s\n", longText.c_str());
  dbgPrint(LOG_ERROR, L"next\n");
  auto lines = logLines();
  ASSERT_EQ(2u, lines.size()) << logBytes();
  EXPECT_EQ(std::string(LOG_MESSAGE_CHARS - 1, 'x'), body(lines[0]));
  EXPECT_EQ("next", body(lines[1]));
}

TEST_F(LogFile, MessageOfExactlyTheLimitIsKeptWhole) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  std::wstring text(LOG_MESSAGE_CHARS - 1, L'y');
  dbgPrint(LOG_ERROR, L"%s\n", text.c_str());  // 511 characters with its line end
  std::wstring shorter(LOG_MESSAGE_CHARS - 2, L'z');
  dbgPrintInfo(L"%s\n", shorter.c_str());  // below the threshold: not written
  auto lines = logLines();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(std::string(LOG_MESSAGE_CHARS - 1, 'y'), body(lines[0]));
}

TEST_F(LogFile, JapaneseTextIsStoredInCodePage932) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_INFO);
  ASSERT_NE(nullptr, setlocale(LC_CTYPE, "japanese"));
  dbgPrint(LOG_CAUTION, L"%s : %s\n", L"メイリオ", L"レギュラー");
  auto lines = logLines();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(
      "\x83\x81\x83\x43\x83\x8A\x83\x49 : "
      "\x83\x8C\x83\x4D\x83\x85\x83\x89\x81\x5B",
      body(lines[0]));
}

TEST_F(LogFile, UnconvertibleMessageLeavesThePrefixAlone) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_INFO);
  setlocale(LC_CTYPE, "C");
  dbgPrint(LOG_ERROR, L"セーフモード\n");
  dbgPrint(LOG_ERROR, L"after\n");
  auto lines = logLines();
  ASSERT_EQ(1u, lines.size()) << logBytes();
  std::string rest = body(lines[0]);  // the two prefixes share one line
  EXPECT_EQ(std::string::npos, rest.find("\x83"));
  EXPECT_EQ("after", rest.substr(rest.size() - 5));
}

TEST_F(LogFile, SetLogFNameLogsTheDirectoryAtInfo) {
  s_dbgOut = 1;
  s_fileOut = 0;
  cm_level = LOG_INFO;
  setLogFName(L"Other.log");  // the line goes to the old path: file output is off
  EXPECT_EQ(1, s_fileOut);
  EXPECT_EQ(m_dir.path() + L"\\Other.log", sts::logPathNow());
  setLogFName(L"Other.log");
  auto lines = sts::splitCrLf(sts::readBytes(L"Other.log"));
  ASSERT_EQ(1u, lines.size());
  std::string dir(m_dir.path().begin(), m_dir.path().end());
  EXPECT_EQ("Dbg.cpp(195) INFO : GetCurrentDirectory() : setLogFName() : dir : " + dir +
                ", len : " + std::to_string(dir.size() + 1),
            body(lines[0]));
}

// A directory whose path plus "\Corvela.log" is `total` characters long.
std::wstring deepDirectory(const std::wstring& base, size_t total) {
  std::wstring dir = base;
  CreateDirectoryW(dir.c_str(), nullptr);
  size_t wanted = total - 12;  // "\Corvela.log"
  while (dir.size() < wanted) {
    size_t part = std::min<size_t>(100, wanted - dir.size() - 1);
    if (part == 0) break;
    dir += L"\\" + std::wstring(part, L'd');
    CreateDirectoryW(dir.c_str(), nullptr);
  }
  return dir;
}

TEST_F(LogFile, PathTooLongForTheSharedBufferKeepsTheOldOne) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_INFO);
  std::wstring before = sts::logPathNow();
  std::wstring fits = deepDirectory(m_dir.path() + L"\\a", LOG_PATH_CHARS - 1);
  std::wstring tooLong = deepDirectory(m_dir.path() + L"\\b", LOG_PATH_CHARS);
  ASSERT_EQ((size_t)LOG_PATH_CHARS - 13, fits.size());
  ASSERT_EQ((size_t)LOG_PATH_CHARS - 12, tooLong.size());

  ASSERT_TRUE(SetCurrentDirectoryW(tooLong.c_str()));
  setLogFName(L"Corvela.log");  // refused: the warning goes to the old file
  EXPECT_EQ(before, sts::logPathNow());
  s_fileOut = 0;
  setLogFName(L"Corvela.log");
  EXPECT_EQ(before, sts::logPathNow());
  EXPECT_EQ(0, s_fileOut);  // left as it was

  ASSERT_TRUE(SetCurrentDirectoryW(fits.c_str()));
  setLogFName(L"Corvela.log");
  EXPECT_EQ(fits + L"\\Corvela.log", sts::logPathNow());
  EXPECT_EQ(1, s_fileOut);
  ASSERT_TRUE(SetCurrentDirectoryW(m_dir.path().c_str()));

  auto lines = logLines();
  ASSERT_EQ(2u, lines.size()) << logBytes();
  EXPECT_NE(std::string::npos, lines[0].find("len : " + std::to_string(tooLong.size() + 1)));
  EXPECT_EQ("Dbg.cpp(201) WARRN : Log File Name Buffer Over.", body(lines[1]));
}

// The five log variables lie in a section that every running copy of the
// executable shares: a second copy of this program writes cm_dllOut, and this
// copy reads the value.
TEST(SharedLogSection, SecondCopyOfTheProgramSeesTheSameVariables) {
  sts::SavedLogState saved;
  cm_dllOut = 0;
  wchar_t self[MAX_PATH + 1] = {0};
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  ASSERT_TRUE(SetEnvironmentVariableW(kChildVariable, L"4242"));
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
  BOOL started =
      CreateProcessW(self, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(kChildVariable, nullptr);
  ASSERT_TRUE(started);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 30000));
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(0u, code);
  EXPECT_EQ(4242, cm_dllOut);
}

}  // namespace
