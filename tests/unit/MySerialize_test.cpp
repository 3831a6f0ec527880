// The settings record: defaults, copy and the change test; the text forms of
// the file's strings and float.
#include "MySerialize.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <locale.h>

#include <cmath>
#include <limits>
#include <string>

#include "SettingsTestSupport.h"

namespace {

TEST(SettingsRecord, Defaults) {
  CMySerialize s;
  EXPECT_EQ(0, s.blink);
  EXPECT_EQ(60, s.alphaOff);
  EXPECT_EQ(60, s.alphaOn);
  EXPECT_EQ(800, s.blinkSpeed);
  EXPECT_EQ(DISP_FLOAT, s.dMode);
  EXPECT_EQ(0, s.dModePos.left);
  EXPECT_EQ(0, s.dModePos.top);
  EXPECT_EQ(250, s.dModePos.right);
  EXPECT_EQ(50, s.dModePos.bottom);
  EXPECT_EQ(0, s.effect);
  EXPECT_EQ(40, s.spnVal);
  EXPECT_EQ(0x000000u, s.bokasiColor);
  EXPECT_EQ(80, s.bokasiOpacity);
  EXPECT_EQ(0xC080FFu, s.imeColorOn);
  EXPECT_EQ(0x40FF00u, s.imeColorOff);
  EXPECT_EQ(12, s.fontSize);
  EXPECT_EQ(L"レギュラー", s.fontStyle);
  EXPECT_EQ(5u, s.fontStyle.size());
  EXPECT_EQ(0xFFFFFFu, s.fontColor);
  EXPECT_EQ(80.0f, s.horizontalPos);
  EXPECT_EQ(1, s.indShow);
  EXPECT_EQ(1, s.iconShow);
  EXPECT_EQ(200u, s.loopInterval);
  EXPECT_EQ(5, s.transTimerCnt);
  EXPECT_EQ(0, s.nonCaptionShow);
}

TEST(SettingsRecord, DefaultFont) {
  CMySerialize s;
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(-MulDiv(12, dpi, 72), s.logFont.lfHeight);
  LOGFONTW expected = {};
  expected.lfHeight = s.logFont.lfHeight;
  expected.lfCharSet = SHIFTJIS_CHARSET;
  expected.lfPitchAndFamily = 16;
  lstrcpynW(expected.lfFaceName, L"メイリオ", LF_FACESIZE);
  // Every other byte, the face name's tail included, is zero.
  EXPECT_EQ(0, memcmp(&expected, &s.logFont, sizeof(LOGFONTW)));
  EXPECT_EQ(92u, sizeof(LOGFONTW));
}

TEST(SettingsRecord, DefaultFontHeightFollowsTheScreenResolution) {
  EXPECT_EQ(-16, defaultFontHeight(96));
  EXPECT_EQ(-20, defaultFontHeight(120));
  EXPECT_EQ(-24, defaultFontHeight(144));
  EXPECT_EQ(-32, defaultFontHeight(192));
  EXPECT_EQ(-13, defaultFontHeight(78));   // MulDiv rounds 13.0 exactly
  EXPECT_EQ(-17, defaultFontHeight(100));  // 16.67 rounds to 17
}

TEST(SettingsRecord, ConstructionSetsTheJapaneseCharacterTypeLocale) {
  sts::SavedLogState saved;  // puts the locale back
  setlocale(LC_CTYPE, "C");
  CMySerialize s;
  const char* ctype = setlocale(LC_CTYPE, nullptr);
  ASSERT_NE(nullptr, ctype);
  EXPECT_NE(nullptr, strstr(ctype, "932")) << ctype;
  // The copy leaves the locale alone.
  setlocale(LC_CTYPE, "C");
  CMySerialize copy(s);
  EXPECT_STREQ("C", setlocale(LC_CTYPE, nullptr));
}

TEST(SettingsRecord, FreshRecordsAreEqual) {
  CMySerialize a, b;
  EXPECT_EQ(0, a.differs(b));
  EXPECT_EQ(0, a.differs(a));
}

// One change of one compared field, applied to a fresh record.
struct FieldChange {
  const char* name;
  void (*change)(CMySerialize&);
};

void PrintTo(const FieldChange& c, std::ostream* os) { *os << c.name; }

class ComparedField : public ::testing::TestWithParam<FieldChange> {};

TEST_P(ComparedField, CountsAsADifference) {
  CMySerialize a, b;
  GetParam().change(b);
  EXPECT_EQ(1, a.differs(b)) << GetParam().name;
  EXPECT_EQ(1, b.differs(a)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    SettingsRecord, ComparedField,
    ::testing::Values(
        FieldChange{"blink", [](CMySerialize& s) { s.blink = 1; }},
        FieldChange{"alphaOff", [](CMySerialize& s) { s.alphaOff = 61; }},
        FieldChange{"alphaOn", [](CMySerialize& s) { s.alphaOn = 0; }},
        FieldChange{"blinkSpeed", [](CMySerialize& s) { s.blinkSpeed = 900; }},
        FieldChange{"dMode", [](CMySerialize& s) { s.dMode = DISP_FIXED; }},
        FieldChange{"left", [](CMySerialize& s) { s.dModePos.left = -1; }},
        FieldChange{"top", [](CMySerialize& s) { s.dModePos.top = 1; }},
        FieldChange{"right", [](CMySerialize& s) { s.dModePos.right = 251; }},
        FieldChange{"bottom", [](CMySerialize& s) { s.dModePos.bottom = 49; }},
        FieldChange{"effect", [](CMySerialize& s) { s.effect = 1; }},
        FieldChange{"spnVal", [](CMySerialize& s) { s.spnVal = 41; }},
        FieldChange{"bokasiColor", [](CMySerialize& s) { s.bokasiColor = 1; }},
        FieldChange{"bokasiOpacity", [](CMySerialize& s) { s.bokasiOpacity = 79; }},
        FieldChange{"imeColorOn", [](CMySerialize& s) { s.imeColorOn ^= 0x010000; }},
        FieldChange{"imeColorOff", [](CMySerialize& s) { s.imeColorOff ^= 1; }},
        FieldChange{"lfHeight", [](CMySerialize& s) { s.logFont.lfHeight -= 1; }},
        FieldChange{"lfWeight", [](CMySerialize& s) { s.logFont.lfWeight = FW_BOLD; }},
        FieldChange{"lfItalic", [](CMySerialize& s) { s.logFont.lfItalic = 1; }},
        FieldChange{"lfFaceName", [](CMySerialize& s) { s.logFont.lfFaceName[0] = L'X'; }},
        // A byte after the face name's terminator still counts.
        FieldChange{"face tail", [](CMySerialize& s) { s.logFont.lfFaceName[31] = L'Z'; }},
        FieldChange{"fontColor", [](CMySerialize& s) { s.fontColor = 0xFFFFFE; }},
        FieldChange{"horizontalPos", [](CMySerialize& s) { s.horizontalPos = 80.000008f; }},
        FieldChange{
            "horizontalPos NaN",
            [](CMySerialize& s) { s.horizontalPos = std::numeric_limits<float>::quiet_NaN(); }},
        FieldChange{"indShow", [](CMySerialize& s) { s.indShow = 0; }},
        FieldChange{"iconShow", [](CMySerialize& s) { s.iconShow = 0; }},
        FieldChange{"loopInterval", [](CMySerialize& s) { s.loopInterval = 201; }},
        FieldChange{"transTimerCnt", [](CMySerialize& s) { s.transTimerCnt = -1; }},
        FieldChange{"nonCaptionShow", [](CMySerialize& s) { s.nonCaptionShow = 1; }}),
    [](const ::testing::TestParamInfo<FieldChange>& info) {
      std::string name;
      for (const char* p = info.param.name; *p; ++p) name += isalnum((unsigned char)*p) ? *p : '_';
      return name;
    });

TEST(SettingsRecord, FontSizeAndStyleAreNotCompared) {
  CMySerialize a, b;
  b.fontSize = 48;
  b.fontStyle = L"ボールド";
  EXPECT_EQ(0, a.differs(b));
}

TEST(SettingsRecord, NaNDiffersEvenFromItself) {
  CMySerialize a;
  a.horizontalPos = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(1, a.differs(a));
  CMySerialize b(a);
  EXPECT_EQ(1, a.differs(b));
}

TEST(SettingsRecord, CopyIsEqualAndIndependent) {
  CMySerialize a;
  a.blink = 1;
  a.dModePos = RECT{-10, -20, 3000, 4000};
  a.logFont.lfFaceName[20] = L'q';  // raw bytes travel too
  a.fontSize = 30;
  a.fontStyle = L"斜体";
  a.horizontalPos = 12.5f;
  a.loopInterval = 0xFFFFFFFFu;

  CMySerialize assigned;
  assigned = a;
  CMySerialize constructed(a);
  for (CMySerialize* copy : {&assigned, &constructed}) {
    EXPECT_EQ(0, a.differs(*copy));
    EXPECT_EQ(0, memcmp(&a.logFont, &copy->logFont, sizeof(LOGFONTW)));
    EXPECT_EQ(30, copy->fontSize);
    EXPECT_EQ(L"斜体", copy->fontStyle);
  }
  a.fontStyle[0] = L'X';
  EXPECT_EQ(L"斜体", assigned.fontStyle);
  EXPECT_EQ(L"斜体", constructed.fontStyle);
  assigned = assigned;  // self-assignment keeps the values
  EXPECT_EQ(L"斜体", assigned.fontStyle);
  EXPECT_EQ(1, assigned.blink);
}

TEST(SettingsRecord, BrokenFileText) {
  EXPECT_EQ(L"異常発生 : 設定ファイル\u3000Corvela.xml", settingsBrokenText());
  EXPECT_EQ(L"異常発生 : 設定ファイル\u3000x.xml", settingsBrokenText(L"x.xml"));
  EXPECT_STREQ(L"tamsel : アプリケーション異常", APP_ERROR_CAPTION);
}

// ---------------------------------------------------------------- text forms

TEST(SettingsText, NamesAreStoredAsCodePage932Bytes) {
  CMySerialize record;  // sets the locale
  EXPECT_EQ("\x83\x81\x83\x43\x83\x8A\x83\x49", toSettingsBytes(L"メイリオ"));
  EXPECT_EQ("\x83\x8C\x83\x4D\x83\x85\x83\x89\x81\x5B", toSettingsBytes(L"レギュラー"));
  EXPECT_EQ("MS UI Gothic", toSettingsBytes(L"MS UI Gothic"));
  EXPECT_EQ("\xB1", toSettingsBytes(L"ｱ"));  // half-width katakana: one byte
  EXPECT_EQ("", toSettingsBytes(L""));
  EXPECT_EQ(L"メイリオ", fromSettingsBytes("\x83\x81\x83\x43\x83\x8A\x83\x49"));
  EXPECT_EQ(L"ｱ_A", fromSettingsBytes("\xB1_A"));
}

TEST(SettingsText, CharacterOutsideTheCodePageBecomesAQuestionMark) {
  CMySerialize record;
  std::string emoji = toSettingsBytes(L"a\U0001F600b");
  EXPECT_EQ('a', emoji.front());
  EXPECT_EQ('b', emoji.back());
  EXPECT_EQ(std::string::npos, emoji.find_first_not_of("a?b")) << emoji;
  EXPECT_EQ("e?e", toSettingsBytes(L"e\u00E9e"));    // no best-fit "e" for an accented one
  std::string bytes = toSettingsBytes(L"a\u0E01b");  // Thai: not in code page 932
  EXPECT_EQ("a?b", bytes);
}

TEST(SettingsText, InvalidBytesAreRefused) {
  CMySerialize record;
  EXPECT_THROW(fromSettingsBytes("ab\x83"), std::runtime_error);    // lead byte without its trail
  EXPECT_THROW(fromSettingsBytes("\x83\x20"), std::runtime_error);  // trail byte out of range
  EXPECT_EQ(L"ab", fromSettingsBytes(std::string("ab\0cd", 5)));    // a terminator ends it
}

TEST(SettingsText, EveryNameRoundTrips) {
  CMySerialize record;
  const wchar_t* names[] = {L"メイリオ", L"ＭＳ Ｐゴシック", L"游ゴシック Medium",
                            L"<&>\"'",   L"表ソ能",          L"ｶﾀｶﾅ",
                            L"~\\|"};
  for (const wchar_t* name : names) {
    EXPECT_EQ(std::wstring(name), fromSettingsBytes(toSettingsBytes(name)))
        << toSettingsBytes(name);
  }
}

TEST(SettingsText, HorizontalPositionIsWrittenWithEightSignificantDigits) {
  EXPECT_EQ("80", formatHorizontalPos(80.0f));
  EXPECT_EQ("33.333332", formatHorizontalPos(33.333332f));
  EXPECT_EQ("0", formatHorizontalPos(0.0f));
  EXPECT_EQ("100", formatHorizontalPos(100.0f));
  EXPECT_EQ("12.5", formatHorizontalPos(12.5f));
  EXPECT_EQ("-3.25", formatHorizontalPos(-3.25f));
  EXPECT_EQ("1e-07", formatHorizontalPos(1e-7f));
}

TEST(SettingsText, HorizontalPositionReadsBothForms) {
  float v = 0;
  EXPECT_TRUE(parseHorizontalPos("80", &v));
  EXPECT_EQ(80.0f, v);
  EXPECT_TRUE(parseHorizontalPos("8.00000000e+01", &v));
  EXPECT_EQ(80.0f, v);
  EXPECT_TRUE(parseHorizontalPos("33.333332", &v));
  EXPECT_EQ(33.333332f, v);
  EXPECT_TRUE(parseHorizontalPos("3.33333321e+01", &v));
  EXPECT_EQ(33.333332f, v);
  EXPECT_TRUE(parseHorizontalPos("-0.5", &v));
  EXPECT_EQ(-0.5f, v);
  v = 7;
  EXPECT_FALSE(parseHorizontalPos("", &v));
  EXPECT_FALSE(parseHorizontalPos("abc", &v));
  EXPECT_FALSE(parseHorizontalPos("80x", &v));
  EXPECT_FALSE(parseHorizontalPos("8 0", &v));
  EXPECT_EQ(7.0f, v);  // unchanged on failure
}

TEST(SettingsText, HorizontalPositionRefusesWhatAStreamReadOfAFloatRefuses) {
  float v = 7;
  for (const char* text : {"nan", "-NaN", "inf", "infinity", "0x1p4", "0x50", "1e40", "-1e39"}) {
    EXPECT_FALSE(parseHorizontalPos(text, &v)) << text;
  }
  EXPECT_EQ(7.0f, v);
  EXPECT_TRUE(parseHorizontalPos("80.7", &v));
  EXPECT_EQ(80.7f, v);
  EXPECT_TRUE(parseHorizontalPos(" -5 ", &v));
  EXPECT_EQ(-5.0f, v);
  EXPECT_TRUE(parseHorizontalPos("1e30", &v));  // finite: taken, however far out
  EXPECT_EQ(1e30f, v);
}

TEST(SettingsText, HorizontalPositionRoundTripsThroughItsText) {
  const float values[] = {0.0f, 1.0f, 50.0f, 80.0f, 99.5f, 33.333332f, 66.666664f, 0.125f, 100.0f};
  for (float value : values) {
    float back = -1;
    ASSERT_TRUE(parseHorizontalPos(formatHorizontalPos(value), &back));
    EXPECT_EQ(value, back) << formatHorizontalPos(value);
  }
}

}  // namespace
