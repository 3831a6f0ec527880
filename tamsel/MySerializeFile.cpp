// The settings record as a boost.serialization XML archive.
#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>
#include <boost/filesystem/path.hpp>
#include <boost/serialization/level.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/split_free.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/tracking.hpp>
#include <fstream>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "Dbg.h"
#include "MySerialize.h"

// The record, RECT and LOGFONTW are written as classes (class id, version 0)
// and never tracked.
BOOST_CLASS_TRACKING(CMySerialize, boost::serialization::track_never)
BOOST_CLASS_TRACKING(tagRECT, boost::serialization::track_never)
BOOST_CLASS_TRACKING(tagLOGFONTW, boost::serialization::track_never)
BOOST_SERIALIZATION_SPLIT_FREE(CMySerialize)
BOOST_SERIALIZATION_SPLIT_FREE(tagLOGFONTW)

namespace boost {
namespace serialization {

template <class Archive>
void serialize(Archive& ar, tagRECT& rect, const unsigned int) {
  ar& make_nvp("left", rect.left);
  ar& make_nvp("top", rect.top);
  ar& make_nvp("right", rect.right);
  ar& make_nvp("bottom", rect.bottom);
}

// Every member but the face name, in the order of the file.
template <class Archive, class Font>
void serializeFontMetrics(Archive& ar, Font& font) {
  ar& make_nvp("lfHeight", font.lfHeight);
  ar& make_nvp("lfWidth", font.lfWidth);
  ar& make_nvp("lfEscapement", font.lfEscapement);
  ar& make_nvp("lfOrientation", font.lfOrientation);
  ar& make_nvp("lfWeight", font.lfWeight);
  ar& make_nvp("lfItalic", font.lfItalic);
  ar& make_nvp("lfUnderline", font.lfUnderline);
  ar& make_nvp("lfStrikeOut", font.lfStrikeOut);
  ar& make_nvp("lfCharSet", font.lfCharSet);
  ar& make_nvp("lfOutPrecision", font.lfOutPrecision);
  ar& make_nvp("lfClipPrecision", font.lfClipPrecision);
  ar& make_nvp("lfQuality", font.lfQuality);
  ar& make_nvp("lfPitchAndFamily", font.lfPitchAndFamily);
}

template <class Archive>
void save(Archive& ar, const tagLOGFONTW& font, const unsigned int) {
  serializeFontMetrics(ar, font);
  std::string face =
      toSettingsBytes(std::wstring(font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE)));
  ar << make_nvp("lfFaceName", face);
}

template <class Archive>
void load(Archive& ar, tagLOGFONTW& font, const unsigned int) {
  serializeFontMetrics(ar, font);
  std::string face;
  ar >> make_nvp("lfFaceName", face);
  std::wstring wide = fromSettingsBytes(face);
  // A longer name is cut to what the field holds, terminator included.
  memset(font.lfFaceName, 0, sizeof(font.lfFaceName));
  lstrcpynW(font.lfFaceName, wide.c_str(), LF_FACESIZE);
}

// Both directions share the order of the elements; only the two strings and
// the float need a text form of their own.
template <class Archive, class Record>
void serializeHead(Archive& ar, Record& s) {
  ar& make_nvp("blink", s.blink);
  ar& make_nvp("alphaOff", s.alphaOff);
  ar& make_nvp("alphaOn", s.alphaOn);
  ar& make_nvp("blinkSpeed", s.blinkSpeed);
  ar& make_nvp("dMode", s.dMode);
  ar& make_nvp("dModePos", s.dModePos);
  ar& make_nvp("loopInterval", s.loopInterval);
  ar& make_nvp("transTimerCnt", s.transTimerCnt);
  ar& make_nvp("nonCaptionShow", s.nonCaptionShow);
  ar& make_nvp("effect", s.effect);
  ar& make_nvp("spnVal", s.spnVal);
  ar& make_nvp("bokasiColor", s.bokasiColor);
  ar& make_nvp("bokasiOpacity", s.bokasiOpacity);
  ar& make_nvp("imeColorOn", s.imeColorOn);
  ar& make_nvp("imeColorOff", s.imeColorOff);
  ar& make_nvp("logFont", s.logFont);
  ar& make_nvp("fontSize", s.fontSize);
}

template <class Archive>
void save(Archive& ar, const CMySerialize& s, const unsigned int) {
  serializeHead(ar, s);
  std::string style = toSettingsBytes(s.fontStyle);
  ar << make_nvp("fontStyle", style);
  ar << make_nvp("fontColor", s.fontColor);
  std::string position = formatHorizontalPos(s.horizontalPos);
  ar << make_nvp("horizontalPos", position);
  ar << make_nvp("indShow", s.indShow);
  ar << make_nvp("iconShow", s.iconShow);
}

template <class Archive>
void load(Archive& ar, CMySerialize& s, const unsigned int) {
  serializeHead(ar, s);
  std::string style;
  ar >> make_nvp("fontStyle", style);
  s.fontStyle = fromSettingsBytes(style);
  ar >> make_nvp("fontColor", s.fontColor);
  std::string position;
  ar >> make_nvp("horizontalPos", position);
  if (!parseHorizontalPos(position, &s.horizontalPos)) {
    throw std::runtime_error("horizontalPos is not a number");
  }
  ar >> make_nvp("indShow", s.indShow);
  ar >> make_nvp("iconShow", s.iconShow);
}

}  // namespace serialization
}  // namespace boost

namespace {

// The Japanese code page that the record's constructor makes the process's own.
constexpr UINT SETTINGS_CODE_PAGE = 932;

void logFailure(const wchar_t* where, const std::wstring& path, const std::wstring& why) {
  DBG_LOG(LOG_ERROR, L"%s : %s : %s", where, path.c_str(), why.c_str());
}

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring directoryOf(const std::wstring& path) {
  boost::filesystem::path dir = boost::filesystem::path(path).parent_path();
  return dir.empty() ? L"." : dir.wstring();
}

// Writes the archive to a new temporary file in dir; its name goes to *temp.
bool writeTemporary(const CMySerialize& record, const std::wstring& dir, std::wstring* temp) {
  wchar_t name[MAX_PATH + 1] = {0};
  if (GetTempFileNameW(dir.c_str(), L"cvx", 0, name) == 0) {
    logFailure(L"GetTempFileNameW()", dir, std::to_wstring(GetLastError()));
    return false;
  }
  *temp = name;
  std::string why;
  {
    std::ofstream out(name, std::ios::out | std::ios::trunc);
    try {
      if (!out) throw std::runtime_error("cannot open");
      record.writeArchive(out);
      out.close();
      if (out.fail()) throw std::runtime_error("close failed");
    } catch (const std::exception& e) {
      why = e.what();
    }
  }
  if (!why.empty()) {
    logFailure(L"writeFile()", *temp, widen(why));
    DeleteFileW(name);
    return false;
  }
  return true;
}

}  // namespace

std::string toSettingsBytes(const std::wstring& text) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  int size = WideCharToMultiByte(SETTINGS_CODE_PAGE, WC_NO_BEST_FIT_CHARS, text.data(),
                                 (int)text.size(), nullptr, 0, "?", &usedDefault);
  if (size <= 0) return std::string(text.size(), '?');
  std::string bytes(size, '\0');
  WideCharToMultiByte(SETTINGS_CODE_PAGE, WC_NO_BEST_FIT_CHARS, text.data(), (int)text.size(),
                      &bytes[0], size, "?", &usedDefault);
  return bytes;
}

std::wstring fromSettingsBytes(const std::string& bytes) {
  std::string text = bytes.substr(0, bytes.find('\0'));  // a terminator ends the text
  if (text.empty()) return std::wstring();
  int size = MultiByteToWideChar(SETTINGS_CODE_PAGE, MB_ERR_INVALID_CHARS, text.data(),
                                 (int)text.size(), nullptr, 0);
  if (size <= 0) throw std::runtime_error("text not valid in code page 932");
  std::wstring wide(size, L'\0');
  MultiByteToWideChar(SETTINGS_CODE_PAGE, MB_ERR_INVALID_CHARS, text.data(), (int)text.size(),
                      &wide[0], size);
  return wide;
}

std::string formatHorizontalPos(float value) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << std::setprecision(8) << value;
  return out.str();
}

bool parseHorizontalPos(const std::string& text, float* value) {
  // A stream read of a float, as the archive reads its numbers: no "nan", no
  // "inf", no hexadecimal form, nothing beyond the float's range.
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  float parsed = 0;
  if (!(in >> parsed)) return false;
  in >> std::ws;  // blanks may follow the number, nothing else
  if (!in.eof()) return false;
  *value = parsed;
  return true;
}

void CMySerialize::writeArchive(std::ostream& out) const {
  std::ostringstream text;
  {
    boost::archive::xml_oarchive archive(text);
    const CMySerialize& self = *this;
    archive << boost::serialization::make_nvp("Corvela", self);
  }  // the trailer is written here
  // The archive's stream layer ends with one more line feed after the
  // trailer; the file ends with the trailer's own.
  std::string bytes = text.str();
  if (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\n\n") == 0) bytes.pop_back();
  out.write(bytes.data(), (std::streamsize)bytes.size());
  out.flush();
  if (!out) throw std::runtime_error("output stream error");
}

bool CMySerialize::readArchive(std::istream& in, std::string* error) {
  CMySerialize loaded(*this);
  try {
    boost::archive::xml_iarchive archive(in);
    archive >> boost::serialization::make_nvp("Corvela", loaded);
    // Every setting is in. The archive would parse the trailer when it goes,
    // and throw from its destructor if the file ends early: stop it reading.
    in.setstate(std::ios::failbit);
  } catch (const std::exception& e) {
    if (error != nullptr) *error = e.what();
    return false;
  } catch (...) {
    if (error != nullptr) *error = "unknown failure";
    return false;
  }
  loaded.m_keepFile = false;
  *this = loaded;
  return true;
}

bool CMySerialize::readFile(const std::wstring& path, std::string* error) {
  std::ifstream in(path.c_str(), std::ios::in);
  if (!in) {
    if (error != nullptr) *error = "cannot open the file";
    return false;
  }
  return readArchive(in, error);
}

bool CMySerialize::writeFile(const std::wstring& path) const {
  // A file the user made read-only is left as it is.
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    logFailure(L"writeFile()", path, L"read-only, not replaced");
    return false;
  }
  std::wstring temp;
  if (!writeTemporary(*this, directoryOf(path), &temp)) return false;
  if (!MoveFileExW(temp.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    logFailure(L"MoveFileExW()", path, std::to_wstring(GetLastError()));
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}
