// The renderer keeps drawing through what would otherwise stop it on every
// frame: a lost device, a face DirectWrite cannot make, heights it refuses; and
// a failure repeated on every frame is logged when it starts and when it ends.
#include <climits>
#include <string>

#include "FailureLatch.h"
#include "MyAppDetail.h"
#include "MyAppTestSupport.h"
#include "WindowTestSupport.h"

using mts::drawInfo;

TEST(FailureLatch, LogsAFailureWhenItStartsAndWhenItEnds) {
  FailureLatch latch;
  EXPECT_FALSE(latch.succeeded()) << "no failure to end";
  EXPECT_TRUE(latch.failed(L"EndDraw() 619"));
  EXPECT_FALSE(latch.failed(L"EndDraw() 619")) << "the same failure again";
  EXPECT_TRUE(latch.failed(L"BindDC() 302")) << "another failure starts";
  EXPECT_TRUE(latch.failing());
  EXPECT_TRUE(latch.succeeded());
  EXPECT_EQ(latch.key(), L"BindDC() 302");
  EXPECT_FALSE(latch.succeeded()) << "ended once";
  EXPECT_TRUE(latch.failed(L"BindDC() 302")) << "after a success it starts again";
}

class MyAppSteady : public mts::RendererFixture {
 protected:
  static bool samePixels(const Frame& a, const Frame& b) {
    for (int y = 0; y < a.size.cy; ++y)
      for (int x = 0; x < a.size.cx; ++x)
        if (a.at(x, y) != b.at(x, y)) return false;
    return true;
  }
  static int labelPixels(const Frame& f) {  // pixels in the text colour (white)
    int n = 0;
    for (int y = 0; y < f.size.cy; ++y)
      for (int x = 0; x < f.size.cx; ++x)
        if ((f.at(x, y) & 0xFFFFFF) == 0xFFFFFF) ++n;
    return n;
  }
  Frame fixedFrame() { return drawFrame(SIZE{300, 100}, drawInfo(1, L"あ", DISP_FIXED, 2)); }
  // The settings record with one change, taken over as the settings dialog does.
  void takeOver(const LOGFONTW& font) {
    CMySerialize next(*g_pSettings);
    next.logFont = font;
    renderer().onUpdate(&next);
  }
};

TEST_F(MyAppSteady, LostDeviceIsMadeAgainAndTheSameFrameDrawn) {
  CMyApp& app = renderer();
  const Frame before = fixedFrame();
  ASSERT_GT(labelPixels(before), 10);
  ID2D1DCRenderTarget* const oldTarget = app.m_pRenderTarget;
  ID2D1Bitmap* const oldIcon = app.m_pIcon48;
  ID2D1Bitmap* const oldShading = app.m_pBokasiBitmap;
  wts::LogCapture log(L"MyAppSteady_lost.log");
  app.m_simulatedDeviceLosses = 1;
  Frame recovered;
  EXPECT_NO_THROW(recovered = fixedFrame());
  EXPECT_TRUE(samePixels(before, recovered));
  EXPECT_NE((ID2D1DCRenderTarget*)app.m_pRenderTarget, oldTarget);
  EXPECT_NE((ID2D1Bitmap*)app.m_pIcon48, oldIcon) << "the icons are made on the new target";
  EXPECT_NE((ID2D1Bitmap*)app.m_pBokasiBitmap, oldShading) << "so is the shading bitmap";
  EXPECT_EQ(log.count(L"D2DERR_RECREATE_TARGET : render target made again"), 1u);
}

TEST_F(MyAppSteady, SecondLossInARowReachesTheCallerAndTheNextFrameDraws) {
  CMyApp& app = renderer();
  const Frame before = fixedFrame();
  wts::LogCapture log(L"MyAppSteady_lost2.log");
  app.m_simulatedDeviceLosses = 2;
  CMyException* thrown = nullptr;
  try {
    fixedFrame();
  } catch (CMyException* e) {
    thrown = e;
  }
  ASSERT_NE(thrown, nullptr);
  EXPECT_STREQ(thrown->m_callName, L"EndDraw()");
  EXPECT_EQ(thrown->m_line, 619);
  EXPECT_EQ((HRESULT)thrown->m_code, D2DERR_RECREATE_TARGET);
  delete thrown;
  EXPECT_TRUE(log.contains(L"EXCEPTION paint() : EndDraw()"));
  const Frame next = fixedFrame();
  EXPECT_TRUE(samePixels(before, next));
  EXPECT_EQ(log.count(L"frames drawn again"), 1u);
}

// Faces DirectWrite cannot make: not installed, empty, blank, a full field.
TEST_F(MyAppSteady, FaceThatCannotBeMadeFallsBackToTheDefaultOnce) {
  const Frame reference = fixedFrame();
  const wchar_t* const faces[] = {L"Corvela No Such Face", L"", L"     ",
                                  L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde"};
  for (const wchar_t* face : faces) {
    wts::LogCapture log(L"MyAppSteady_face.log");
    LOGFONTW font = g_pSettings->logFont;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    takeOver(font);
    EXPECT_STREQ(renderer().m_logFont.lfFaceName, face) << "the settings keep what they hold";
    for (int frame = 0; frame < 3; ++frame) {
      Frame f;
      ASSERT_NO_THROW(f = fixedFrame()) << "face \"" << face << "\"";
      EXPECT_TRUE(samePixels(reference, f)) << "face \"" << face << "\"";
    }
    EXPECT_EQ(log.count(L"CreateFontFromLOGFONT()"), 1u) << "face \"" << face << "\"";
  }
}

TEST_F(MyAppSteady, HeightsDirectWriteRefusesStillDrawTheLabel) {
  const Frame reference = fixedFrame();
  wts::LogCapture log(L"MyAppSteady_height.log");
  LOGFONTW font = g_pSettings->logFont;
  font.lfHeight = 0;  // the default height
  takeOver(font);
  Frame zero;
  ASSERT_NO_THROW(zero = fixedFrame());
  EXPECT_TRUE(samePixels(reference, zero));
  font.lfHeight = -g_pSettings->logFont.lfHeight;  // a cell height: the label as tall
  takeOver(font);
  Frame cell;
  ASSERT_NO_THROW(cell = fixedFrame());
  EXPECT_TRUE(samePixels(reference, cell));
  for (LONG height : {100000L, (LONG)INT_MAX, (LONG)INT_MIN}) {
    font.lfHeight = height;
    takeOver(font);
    EXPECT_NO_THROW(fixedFrame()) << height;
  }
  EXPECT_FALSE(log.contains(L"EXCEPTION"));
}
