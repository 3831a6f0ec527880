// The settings file "Corvela.xml": its exact bytes, round trips, old files,
// and files that are cut, reordered or damaged.
#include <windows.h>

#include <gtest/gtest.h>

#include <boost/archive/basic_archive.hpp>
#include <climits>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "MySerialize.h"
#include "SettingsTestSupport.h"
#include "WindowTestSupport.h"

namespace {

const std::string kMeiryo = "\x83\x81\x83\x43\x83\x8A\x83\x49";           // メイリオ
const std::string kRegular = "\x83\x8C\x83\x4D\x83\x85\x83\x89\x81\x5B";  // レギュラー

std::string libraryVersion() {
  return std::to_string((unsigned)boost::archive::BOOST_ARCHIVE_VERSION());
}

// The archive of a fresh record, with LF line ends and the given header version.
std::string defaultArchive(const std::string& version, int lfHeight) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
         "<!DOCTYPE boost_serialization>\n"
         "<boost_serialization signature=\"serialization::archive\" version=\"" +
         version +
         "\">\n"
         "<Corvela class_id=\"0\" tracking_level=\"0\" version=\"0\">\n"
         "\t<blink>0</blink>\n"
         "\t<alphaOff>60</alphaOff>\n"
         "\t<alphaOn>60</alphaOn>\n"
         "\t<blinkSpeed>800</blinkSpeed>\n"
         "\t<dMode>0</dMode>\n"
         "\t<dModePos class_id=\"1\" tracking_level=\"0\" version=\"0\">\n"
         "\t\t<left>0</left>\n"
         "\t\t<top>0</top>\n"
         "\t\t<right>250</right>\n"
         "\t\t<bottom>50</bottom>\n"
         "\t</dModePos>\n"
         "\t<loopInterval>200</loopInterval>\n"
         "\t<transTimerCnt>5</transTimerCnt>\n"
         "\t<nonCaptionShow>0</nonCaptionShow>\n"
         "\t<effect>0</effect>\n"
         "\t<spnVal>40</spnVal>\n"
         "\t<bokasiColor>0</bokasiColor>\n"
         "\t<bokasiOpacity>80</bokasiOpacity>\n"
         "\t<imeColorOn>12615935</imeColorOn>\n"
         "\t<imeColorOff>4259584</imeColorOff>\n"
         "\t<logFont class_id=\"2\" tracking_level=\"0\" version=\"0\">\n"
         "\t\t<lfHeight>" +
         std::to_string(lfHeight) +
         "</lfHeight>\n"
         "\t\t<lfWidth>0</lfWidth>\n"
         "\t\t<lfEscapement>0</lfEscapement>\n"
         "\t\t<lfOrientation>0</lfOrientation>\n"
         "\t\t<lfWeight>0</lfWeight>\n"
         "\t\t<lfItalic>0</lfItalic>\n"
         "\t\t<lfUnderline>0</lfUnderline>\n"
         "\t\t<lfStrikeOut>0</lfStrikeOut>\n"
         "\t\t<lfCharSet>128</lfCharSet>\n"
         "\t\t<lfOutPrecision>0</lfOutPrecision>\n"
         "\t\t<lfClipPrecision>0</lfClipPrecision>\n"
         "\t\t<lfQuality>0</lfQuality>\n"
         "\t\t<lfPitchAndFamily>16</lfPitchAndFamily>\n"
         "\t\t<lfFaceName>" +
         kMeiryo +
         "</lfFaceName>\n"
         "\t</logFont>\n"
         "\t<fontSize>12</fontSize>\n"
         "\t<fontStyle>" +
         kRegular +
         "</fontStyle>\n"
         "\t<fontColor>16777215</fontColor>\n"
         "\t<horizontalPos>80</horizontalPos>\n"
         "\t<indShow>1</indShow>\n"
         "\t<iconShow>1</iconShow>\n"
         "</Corvela>\n"
         "</boost_serialization>\n";
}

std::string toCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::vector<std::string> splitLf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string joinLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string replaceFirst(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(std::string::npos, at) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// A record that differs from the defaults in every field.
CMySerialize changedRecord() {
  CMySerialize s;
  s.blink = 1;
  s.alphaOff = 15;
  s.alphaOn = 95;
  s.blinkSpeed = 1300;
  s.dMode = DISP_FIXED;
  s.dModePos = RECT{-1920, -5, 1234, 777};
  s.effect = 1;
  s.spnVal = 7;
  s.bokasiColor = 0x123456;
  s.bokasiOpacity = 33;
  s.imeColorOn = 0xFFFFFFFF;
  s.imeColorOff = 0x00ABCDEF;
  s.logFont.lfHeight = -27;
  s.logFont.lfWidth = 11;
  s.logFont.lfEscapement = 900;
  s.logFont.lfOrientation = 450;
  s.logFont.lfWeight = FW_BOLD;
  s.logFont.lfItalic = 1;
  s.logFont.lfUnderline = 1;
  s.logFont.lfStrikeOut = 1;
  s.logFont.lfCharSet = 255;
  s.logFont.lfOutPrecision = 3;
  s.logFont.lfClipPrecision = 2;
  s.logFont.lfQuality = 5;
  s.logFont.lfPitchAndFamily = 49;
  memset(s.logFont.lfFaceName, 0, sizeof(s.logFont.lfFaceName));
  lstrcpynW(s.logFont.lfFaceName, L"ＭＳ Ｐゴシック", LF_FACESIZE);
  s.fontSize = 20;
  s.fontStyle = L"太字 斜体";
  s.fontColor = 0x0000FF;
  s.horizontalPos = 33.333332f;
  s.indShow = 0;
  s.iconShow = 0;
  s.loopInterval = 50;
  s.transTimerCnt = -1;
  s.nonCaptionShow = 1;
  return s;
}

void expectSameRecord(const CMySerialize& expected, const CMySerialize& actual) {
  EXPECT_EQ(0, expected.differs(actual));
  EXPECT_EQ(0, memcmp(&expected.logFont, &actual.logFont, sizeof(LOGFONTW)));
  EXPECT_EQ(expected.fontSize, actual.fontSize);
  EXPECT_EQ(expected.fontStyle, actual.fontStyle);
}

bool readText(CMySerialize* record, const std::string& text, std::string* error = nullptr) {
  std::istringstream in(text);
  std::string ignored;
  return record->readArchive(in, error != nullptr ? error : &ignored);
}

std::string writeText(const CMySerialize& record) {
  std::ostringstream out;
  record.writeArchive(out);
  return out.str();
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.ok());
    m_defaults = defaultArchive(libraryVersion(), CMySerialize().logFont.lfHeight);
  }
  // A record with values no file of these tests holds, to see that a failed
  // read leaves it alone.
  static CMySerialize sentinel() {
    CMySerialize s;
    s.alphaOn = 7;
    s.fontStyle = L"sentinel";
    return s;
  }
  // Reads text from disk; a failed read must leave the record and the bytes as they were.
  bool loadsFromDisk(const std::string& bytes) {
    sts::writeBytes(L"Corvela.xml", bytes);
    CMySerialize record = sentinel();
    std::string error;
    bool ok = record.readFile(L"Corvela.xml", &error);
    EXPECT_EQ(bytes, sts::readBytes(L"Corvela.xml"));
    if (!ok) {
      EXPECT_FALSE(error.empty());
      expectSameRecord(sentinel(), record);
    }
    return ok;
  }

  sts::SavedLogState m_log;
  sts::ScopedTempDir m_dir;
  std::string m_defaults;
};

// ---------------------------------------------------------------- the bytes

TEST_F(SettingsFile, DefaultFileBytes) {
  CMySerialize record;
  ASSERT_EQ(-16, defaultFontHeight(96));
  ASSERT_TRUE(record.writeFile(L"Corvela.xml"));
  std::string bytes = sts::readBytes(L"Corvela.xml");
  EXPECT_EQ(toCrLf(m_defaults), bytes);
  EXPECT_NE(std::string::npos, bytes.find("<lfFaceName>\x83\x81\x83\x43\x83\x8A\x83\x49<"));
  EXPECT_NE(std::string::npos,
            bytes.find("<fontStyle>\x83\x8C\x83\x4D\x83\x85\x83\x89\x81\x5B</fontStyle>\r\n"));
  // Only the file and nothing left of the temporary one.
  EXPECT_EQ(std::vector<std::wstring>{L"Corvela.xml"}, sts::listCurrentDir());
}

TEST_F(SettingsFile, ArchiveTextHasLfLineEnds) { EXPECT_EQ(m_defaults, writeText(CMySerialize())); }

TEST_F(SettingsFile, SpecialValuesAsText) {
  CMySerialize record;
  record.transTimerCnt = -1;
  record.horizontalPos = 33.333332f;
  record.fontStyle = L"a<b&c>\"d'";
  std::string text = writeText(record);
  EXPECT_NE(std::string::npos, text.find("\t<transTimerCnt>-1</transTimerCnt>\n"));
  EXPECT_NE(std::string::npos, text.find("\t<horizontalPos>33.333332</horizontalPos>\n"));
  EXPECT_NE(std::string::npos,
            text.find("\t<fontStyle>a&lt;b&amp;c&gt;&quot;d&apos;</fontStyle>\n"))
      << text;
  CMySerialize back;
  ASSERT_TRUE(readText(&back, text));
  EXPECT_EQ(-1, back.transTimerCnt);
  EXPECT_EQ(33.333332f, back.horizontalPos);
  EXPECT_EQ(L"a<b&c>\"d'", back.fontStyle);
}

// ---------------------------------------------------------------- round trips

TEST_F(SettingsFile, EveryFieldRoundTrips) {
  CMySerialize saved = changedRecord();
  ASSERT_TRUE(saved.writeFile(L"Corvela.xml"));
  CMySerialize loaded;
  ASSERT_EQ(1, loaded.differs(saved));
  std::string error;
  ASSERT_TRUE(loaded.readFile(L"Corvela.xml", &error)) << error;
  expectSameRecord(saved, loaded);
  EXPECT_EQ(-1, loaded.transTimerCnt);
  EXPECT_STREQ(L"ＭＳ Ｐゴシック", loaded.logFont.lfFaceName);
}

TEST_F(SettingsFile, ExtremeValuesRoundTrip) {
  for (int pass = 0; pass < 2; ++pass) {
    CMySerialize saved;
    int value = pass == 0 ? INT_MIN : INT_MAX;
    unsigned unsignedValue = pass == 0 ? 0u : UINT_MAX;
    BYTE byte = pass == 0 ? 0 : 255;
    saved.blink = saved.alphaOff = saved.alphaOn = saved.blinkSpeed = saved.dMode = value;
    saved.dModePos = RECT{value, value, value, value};
    saved.effect = saved.spnVal = saved.bokasiOpacity = saved.fontSize = value;
    saved.indShow = saved.iconShow = saved.transTimerCnt = saved.nonCaptionShow = value;
    saved.bokasiColor = saved.imeColorOn = saved.imeColorOff = saved.fontColor = unsignedValue;
    saved.loopInterval = unsignedValue;
    saved.logFont.lfHeight = saved.logFont.lfWidth = saved.logFont.lfEscapement = value;
    saved.logFont.lfOrientation = saved.logFont.lfWeight = value;
    saved.logFont.lfItalic = saved.logFont.lfUnderline = saved.logFont.lfStrikeOut = byte;
    saved.logFont.lfCharSet = saved.logFont.lfOutPrecision = byte;
    saved.logFont.lfClipPrecision = saved.logFont.lfQuality = byte;
    saved.logFont.lfPitchAndFamily = byte;
    saved.horizontalPos = pass == 0 ? -3.4028235e38f : 3.4028235e38f;
    saved.fontStyle = pass == 0 ? L"" : std::wstring(300, L'長');
    std::string text = writeText(saved);
    CMySerialize loaded;
    ASSERT_TRUE(readText(&loaded, text)) << text;
    expectSameRecord(saved, loaded);
  }
}

TEST_F(SettingsFile, NamesWithMarkupCharactersRoundTrip) {
  CMySerialize saved;
  saved.fontStyle = L"<&>";
  memset(saved.logFont.lfFaceName, 0, sizeof(saved.logFont.lfFaceName));
  lstrcpynW(saved.logFont.lfFaceName, L"A&B <Font> \"x\" 'y' ＆", LF_FACESIZE);
  ASSERT_TRUE(saved.writeFile(L"Corvela.xml"));
  std::string bytes = sts::readBytes(L"Corvela.xml");
  EXPECT_NE(std::string::npos, bytes.find("<fontStyle>&lt;&amp;&gt;</fontStyle>"));
  EXPECT_NE(std::string::npos,
            bytes.find("<lfFaceName>A&amp;B &lt;Font&gt; &quot;x&quot; &apos;y&apos; \x81\x95<"));
  CMySerialize loaded;
  std::string error;
  ASSERT_TRUE(loaded.readFile(L"Corvela.xml", &error)) << error;
  expectSameRecord(saved, loaded);
}

TEST_F(SettingsFile, SavingTwiceReplacesTheFile) {
  CMySerialize first;
  ASSERT_TRUE(first.writeFile(L"Corvela.xml"));
  CMySerialize second = changedRecord();
  ASSERT_TRUE(second.writeFile(L"Corvela.xml"));
  CMySerialize loaded;
  std::string error;
  ASSERT_TRUE(loaded.readFile(L"Corvela.xml", &error)) << error;
  expectSameRecord(second, loaded);
  EXPECT_EQ(std::vector<std::wstring>{L"Corvela.xml"}, sts::listCurrentDir());
}

// ---------------------------------------------------------------- older and other files

TEST_F(SettingsFile, Version10FileWrittenByHandLoads) {
  // As the program's earlier builds wrote it: version 10, floats in scientific
  // notation, CR LF line ends, non-default values.
  std::string text = defaultArchive("10", -20);
  text = replaceFirst(text, "<alphaOn>60<", "<alphaOn>75<");
  text = replaceFirst(text, "<transTimerCnt>5<", "<transTimerCnt>-1<");
  text = replaceFirst(text, "<horizontalPos>80<", "<horizontalPos>4.25000000e+01<");
  text = replaceFirst(text, "<right>250<", "<right>640<");
  text = replaceFirst(text, "<fontSize>12<", "<fontSize>15<");
  ASSERT_TRUE(loadsFromDisk(toCrLf(text)));
  CMySerialize loaded;
  std::string error;
  ASSERT_TRUE(loaded.readFile(L"Corvela.xml", &error)) << error;
  EXPECT_EQ(75, loaded.alphaOn);
  EXPECT_EQ(-1, loaded.transTimerCnt);
  EXPECT_EQ(42.5f, loaded.horizontalPos);
  EXPECT_EQ(640, loaded.dModePos.right);
  EXPECT_EQ(-20, loaded.logFont.lfHeight);
  EXPECT_EQ(15, loaded.fontSize);
  EXPECT_STREQ(L"メイリオ", loaded.logFont.lfFaceName);
  EXPECT_EQ(L"レギュラー", loaded.fontStyle);
  // LF-only line ends read the same.
  EXPECT_TRUE(loadsFromDisk(text));
}

TEST_F(SettingsFile, LongFaceNameIsCutTo31Characters) {
  const std::string names[] = {std::string(31, 'F'), std::string(32, 'G'), std::string(200, 'H'),
                               std::string(40, 'j') + "\x83\x81"};
  for (const std::string& name : names) {
    std::string text = replaceFirst(m_defaults, kMeiryo, name);
    CMySerialize loaded;
    ASSERT_TRUE(readText(&loaded, text)) << name;
    std::wstring expected(name.begin(), name.begin() + std::min<size_t>(31, name.size()));
    EXPECT_EQ(expected, std::wstring(loaded.logFont.lfFaceName));
    // The rest of the field is zero, so equal names compare equal byte for byte.
    for (size_t i = expected.size(); i < LF_FACESIZE; ++i) {
      EXPECT_EQ(L'\0', loaded.logFont.lfFaceName[i]) << i;
    }
  }
}

TEST_F(SettingsFile, ValuesAreTakenWithoutRangeChecks) {
  std::string text = replaceFirst(m_defaults, "<alphaOn>60<", "<alphaOn>500<");
  text = replaceFirst(text, "<blinkSpeed>800<", "<blinkSpeed>-3<");
  text = replaceFirst(text, "<lfCharSet>128<", "<lfCharSet>300<");
  CMySerialize loaded;
  std::string error;
  ASSERT_TRUE(readText(&loaded, text, &error)) << error;
  EXPECT_EQ(500, loaded.alphaOn);
  EXPECT_EQ(-3, loaded.blinkSpeed);
}

// ---------------------------------------------------------------- broken files

TEST_F(SettingsFile, CutAtEveryOffsetNeverLoadsLessThanEverything) {
  std::string whole = toCrLf(writeText(changedRecord()));
  size_t lastValue = whole.find("</iconShow>") + strlen("</iconShow>");
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    bool loaded = loadsFromDisk(whole.substr(0, cut));
    if (cut < lastValue) {
      EXPECT_FALSE(loaded) << "cut at " << cut;
    }
    if (HasFailure()) break;
  }
}

TEST_F(SettingsFile, EveryMissingLineIsRefused) {
  std::vector<std::string> lines = splitLf(writeText(changedRecord()));
  // Line 4 is the root; the element lines follow up to the root's end tag.
  ASSERT_EQ(0u, lines[3].find("<Corvela "));
  for (size_t drop = 0; drop + 2 < lines.size(); ++drop) {
    std::vector<std::string> cut = lines;
    cut.erase(cut.begin() + drop);
    CMySerialize record = sentinel();
    EXPECT_FALSE(readText(&record, joinLf(cut))) << "without line " << drop << ": " << lines[drop];
    expectSameRecord(sentinel(), record);
  }
}

TEST_F(SettingsFile, ElementsInAnotherOrderAreRefused) {
  std::vector<std::string> lines = splitLf(m_defaults);
  for (size_t i = 4; i + 3 < lines.size(); ++i) {
    // Swap neighbouring simple elements of the root.
    if (lines[i].find("</") == std::string::npos || lines[i + 1].find("</") == std::string::npos)
      continue;
    if (lines[i].rfind("\t\t", 0) == 0 || lines[i + 1].rfind("\t\t", 0) == 0) continue;
    std::vector<std::string> swapped = lines;
    std::swap(swapped[i], swapped[i + 1]);
    CMySerialize record = sentinel();
    EXPECT_FALSE(readText(&record, joinLf(swapped))) << lines[i] << " / " << lines[i + 1];
  }
}

TEST_F(SettingsFile, EndTagNameIsChecked) {
  // Start tag names are not compared; a matching pair of another name fails on the end tag.
  std::string renamedStart = replaceFirst(m_defaults, "<blink>", "<other>");
  CMySerialize record;
  EXPECT_TRUE(readText(&record, renamedStart));
  std::string renamedBoth = replaceFirst(renamedStart, "</blink>", "</other>");
  EXPECT_FALSE(readText(&record, renamedBoth));
}

TEST_F(SettingsFile, DamagedHeadersAndValuesAreRefused) {
  const std::pair<std::string, std::string> damages[] = {
      {"serialization::archive", "serialization::other"},
      {"<boost_serialization ", "<bogus_serialization "},
      {"version=\"" + libraryVersion() + "\"", "version=\"x\""},
      {"<?xml", "<?xmz"},
      {"<blink>0<", "<blink>zero<"},
      {"<alphaOff>60<", "<alphaOff><"},
      {"<loopInterval>200<", "<loopInterval>2 00<"},
      {"<horizontalPos>80<", "<horizontalPos>eighty<"},
      {"<horizontalPos>80<", "<horizontalPos><"},
      {"<lfFaceName>" + kMeiryo, "<lfFaceName>\x83"},
      {"</dModePos>", "</dModePo>"},
      {"</logFont>", ""},
  };
  for (const auto& damage : damages) {
    CMySerialize record = sentinel();
    std::string error;
    EXPECT_FALSE(readText(&record, replaceFirst(m_defaults, damage.first, damage.second), &error))
        << damage.second;
    expectSameRecord(sentinel(), record);
  }
}

// Class attributes of other values: the reader either takes the values from
// their places or refuses, and a refusal leaves the record alone.
TEST_F(SettingsFile, OtherClassAttributesNeverCrash) {
  const std::string root = "<Corvela class_id=\"0\" tracking_level=\"0\" version=\"0\">";
  const std::string font = "<logFont class_id=\"2\" tracking_level=\"0\" version=\"0\">";
  const std::pair<std::string, std::string> variants[] = {
      {root, "<Corvela class_id=\"5\" tracking_level=\"0\" version=\"0\">"},
      {root, "<Corvela class_id=\"0\" tracking_level=\"1\" version=\"0\">"},
      {root, "<Corvela class_id=\"0\" tracking_level=\"1\" version=\"0\" object_id=\"_0\">"},
      {root, "<Corvela class_id=\"0\" tracking_level=\"0\" version=\"7\">"},
      {root, "<Corvela class_id_reference=\"0\">"},
      {root, "<Corvela class_id=\"-1\" tracking_level=\"0\" version=\"0\">"},
      {root, "<Corvela class_name=\"x\" class_id=\"0\" tracking_level=\"0\" version=\"0\">"},
      {root, "<Corvela>"},
      {font, "<logFont class_id=\"1\" tracking_level=\"0\" version=\"0\">"},
      {font, "<logFont class_id_reference=\"1\">"},
      {font, "<logFont class_id=\"2\" tracking_level=\"0\" version=\"65535\">"},
      {font, "<logFont>"},
  };
  for (const auto& variant : variants) {
    CMySerialize record = sentinel();
    if (readText(&record, replaceFirst(m_defaults, variant.first, variant.second))) {
      expectSameRecord(CMySerialize(), record);  // the values are read from their places
    } else {
      expectSameRecord(sentinel(), record);
    }
  }
}

TEST_F(SettingsFile, EmptyAndGarbageFilesAreRefused) {
  EXPECT_FALSE(loadsFromDisk(""));
  EXPECT_FALSE(loadsFromDisk("\r\n"));
  EXPECT_FALSE(loadsFromDisk("not xml at all"));
  EXPECT_FALSE(loadsFromDisk(std::string(4096, '<')));
  EXPECT_FALSE(loadsFromDisk(std::string("\xEF\xBB\xBF") + toCrLf(m_defaults).substr(0, 100)));
  std::mt19937 random(12345);
  for (int round = 0; round < 50; ++round) {
    std::string garbage(random() % 3000, '\0');
    for (char& c : garbage) c = (char)(random() & 0xFF);
    EXPECT_FALSE(loadsFromDisk(garbage)) << round;
  }
}

// Single damaged bytes anywhere: the reader either loads or refuses, and never falls
// over. A refusal says why and leaves the record alone; what loads is a whole record
// that writes and reads back the same.
TEST_F(SettingsFile, RandomByteDamageNeverCrashes) {
  std::string whole = writeText(changedRecord());
  std::mt19937 random(2024);
  const char replacements[] = {'<', '>', '/', '"', '=',  '&',    ' ',    '\t',  '\n',
                               '0', '9', '-', 'x', '\0', '\x83', '\xFF', '\x1A'};
  int refused = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string damaged = whole;
    int count = 1 + (int)(random() % 3);
    for (int i = 0; i < count; ++i) {
      damaged[random() % damaged.size()] = replacements[random() % sizeof(replacements)];
    }
    CMySerialize record = sentinel();
    std::string error;
    if (readText(&record, damaged, &error)) {
      CMySerialize again = sentinel();
      ASSERT_TRUE(readText(&again, writeText(record), &error)) << round << ": " << error;
      EXPECT_EQ(0, record.differs(again)) << round;
      EXPECT_EQ(0, memcmp(&record.logFont, &again.logFont, sizeof(LOGFONTW))) << round;
    } else {
      ++refused;
      EXPECT_FALSE(error.empty()) << round;
      EXPECT_EQ(0, sentinel().differs(record)) << round;
      EXPECT_EQ(L"sentinel", record.fontStyle) << round;
    }
  }
  EXPECT_GT(refused, 0);
}

TEST_F(SettingsFile, DataAfterTheRootIsIgnored) {
  // Everything is read once the root is complete, as when the trailer is lost.
  std::string noTrailer = m_defaults.substr(0, m_defaults.find("</boost_serialization>"));
  EXPECT_TRUE(loadsFromDisk(toCrLf(noTrailer)));
  EXPECT_TRUE(loadsFromDisk(toCrLf(m_defaults) + "trailing garbage"));
}

// ---------------------------------------------------------------- the file system

TEST_F(SettingsFile, DirectoryInPlaceOfTheFile) {
  ASSERT_TRUE(CreateDirectoryW(L"Corvela.xml", nullptr));
  EXPECT_EQ(SettingsFileState::Present, settingsFileState(L"Corvela.xml", nullptr));
  CMySerialize record = sentinel();
  std::string error;
  EXPECT_FALSE(record.readFile(L"Corvela.xml", &error));
  expectSameRecord(sentinel(), record);
  EXPECT_FALSE(record.writeFile(L"Corvela.xml"));
  DWORD attributes = GetFileAttributesW(L"Corvela.xml");
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(std::vector<std::wstring>{L"Corvela.xml"}, sts::listCurrentDir());
}

TEST_F(SettingsFile, ReadOnlyFileLoadsButIsNotReplaced) {
  std::string old = toCrLf(writeText(changedRecord()));
  sts::writeBytes(L"Corvela.xml", old);
  ASSERT_TRUE(SetFileAttributesW(L"Corvela.xml", FILE_ATTRIBUTE_READONLY));
  CMySerialize record;
  std::string error;
  EXPECT_TRUE(record.readFile(L"Corvela.xml", &error)) << error;
  expectSameRecord(changedRecord(), record);
  EXPECT_FALSE(CMySerialize().writeFile(L"Corvela.xml"));
  EXPECT_EQ(old, sts::readBytes(L"Corvela.xml"));
  EXPECT_EQ(std::vector<std::wstring>{L"Corvela.xml"}, sts::listCurrentDir());
}

TEST_F(SettingsFile, MissingFileAndStates) {
  EXPECT_EQ(SettingsFileState::Missing, settingsFileState(L"Corvela.xml", nullptr));
  EXPECT_EQ(SettingsFileState::Missing, settingsFileState(L"nodir\\Corvela.xml", nullptr));
  CMySerialize record;
  std::string error;
  EXPECT_FALSE(record.readFile(L"Corvela.xml", &error));
  sts::writeBytes(L"Corvela.xml", "");
  EXPECT_EQ(SettingsFileState::Present, settingsFileState(L"Corvela.xml", nullptr));
}

TEST_F(SettingsFile, WriteIntoAMissingDirectoryFails) {
  EXPECT_FALSE(CMySerialize().writeFile(L"nodir\\Corvela.xml"));
  EXPECT_TRUE(sts::listCurrentDir().empty());
}

// ---------------------------------------------------------------- loadFile and saveFile

TEST_F(SettingsFile, LoadWithoutAFileWritesTheDefaults) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_INFO);
  CMySerialize record;
  record.alphaOn = 42;  // the current values are what is written
  record.loadFile();
  EXPECT_EQ(42, record.alphaOn);
  EXPECT_EQ(toCrLf(replaceFirst(m_defaults, "<alphaOn>60<", "<alphaOn>42<")),
            sts::readBytes(L"Corvela.xml"));
  std::string log = sts::readBytes(L"Corvela.log");
  EXPECT_NE(std::string::npos,
            log.find("] MySerialize.cpp(81) INFO : No serialize file(Corvela.xml).\r\n"))
      << log;
}

TEST_F(SettingsFile, LoadReadsAnExistingFileAndLeavesItAlone) {
  std::string bytes = toCrLf(writeText(changedRecord()));
  sts::writeBytes(L"Corvela.xml", bytes);
  CMySerialize record;
  record.loadFile();
  expectSameRecord(changedRecord(), record);
  EXPECT_EQ(bytes, sts::readBytes(L"Corvela.xml"));
}

TEST_F(SettingsFile, SaveToAReadOnlyFileIsLoggedAndKeepsTheOldFile) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  std::string old = toCrLf(m_defaults);
  sts::writeBytes(L"Corvela.xml", old);
  ASSERT_TRUE(SetFileAttributesW(L"Corvela.xml", FILE_ATTRIBUTE_READONLY));
  CMySerialize record = changedRecord();
  EXPECT_NO_THROW(record.saveFile());
  EXPECT_EQ(old, sts::readBytes(L"Corvela.xml"));
  std::string log = sts::readBytes(L"Corvela.log");
  EXPECT_NE(std::string::npos, log.find("ERROR    : writeFile() : Corvela.xml : read-only")) << log;
  SetFileAttributesW(L"Corvela.xml", FILE_ATTRIBUTE_NORMAL);
  record.saveFile();  // writable again: now it is replaced
  EXPECT_EQ(toCrLf(writeText(record)), sts::readBytes(L"Corvela.xml"));
}

TEST_F(SettingsFile, StatusFailureIsLoggedAndNothingIsWritten) {
  // The device name CON answers the status query with an error here.
  std::wstring reason;
  if (settingsFileState(L"CON", &reason) != SettingsFileState::Unknown) {
    GTEST_SKIP() << "the status of CON does not fail on this system";
  }
  EXPECT_FALSE(reason.empty());
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  CMySerialize record = sentinel();
  record.loadFileAt(L"CON");
  expectSameRecord(sentinel(), record);
  EXPECT_TRUE(record.m_keepFile);
  record.saveFileAt(L"CON");  // refused: the file could not be looked at
  std::string log = sts::readBytes(L"Corvela.log");
  EXPECT_NE(std::string::npos, log.find("ERROR    : loadFile() : CON : status() : ")) << log;
  EXPECT_NE(std::string::npos, log.find("ERROR    : saveFile() : CON could not be read")) << log;
  EXPECT_EQ(std::vector<std::wstring>{L"Corvela.log"}, sts::listCurrentDir());
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the program goes on
}

TEST_F(SettingsFile, BrokenFileShowsTheBoxAndEndsWithMinusOne) {
  initLog(L"Corvela.log", 1, 1, 1, LOG_ERROR);
  std::string bytes = toCrLf(m_defaults).substr(0, 700);  // cut in the middle
  sts::writeBytes(L"Corvela.xml", bytes);
  CMySerialize record = sentinel();
  {
    wts::BoxCloser closer(APP_ERROR_CAPTION);
    record.loadFile();
    EXPECT_TRUE(closer.seen());
    EXPECT_EQ(L"異常発生 : 設定ファイル\u3000Corvela.xml", closer.text());
  }
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(-1, (int)msg.wParam);
  EXPECT_EQ(bytes, sts::readBytes(L"Corvela.xml"));
  expectSameRecord(sentinel(), record);
  EXPECT_NE(std::string::npos, sts::readBytes(L"Corvela.log").find("loadFile() : Corvela.xml"));
  // A save before the program has ended leaves the unreadable file as it is.
  record.saveFile();
  CMySerialize copy(record);
  copy.saveFile();
  EXPECT_EQ(bytes, sts::readBytes(L"Corvela.xml"));
  EXPECT_EQ(std::vector<std::wstring>({L"Corvela.log", L"Corvela.xml"}), sts::listCurrentDir());
}

}  // namespace
