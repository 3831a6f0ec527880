// Support for the log and settings-file tests: a fresh current directory,
// the log switches put back afterwards, and file bytes.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>
#include <locale.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Dbg.h"

namespace sts {

inline std::string readBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::in | std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::out | std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), (std::streamsize)bytes.size());
}

inline bool fileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names of the entries of the current directory, "." and ".." left out.
inline std::vector<std::wstring> listCurrentDir() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(L"*", &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

inline void removeTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = dir + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

// A fresh directory under the temporary directory, made current for the
// scope; the old current directory comes back and the new one goes at the end.
class ScopedTempDir {
 public:
  explicit ScopedTempDir(const std::wstring& extra = L"") {
    wchar_t old[MAX_PATH + 1] = {0};
    GetCurrentDirectoryW(MAX_PATH, old);
    m_old = old;
    wchar_t temp[MAX_PATH + 1] = {0};
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"cvt" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(s_count++) + extra;
    m_created = CreateDirectoryW(m_path.c_str(), nullptr) != 0;
    m_entered = m_created && SetCurrentDirectoryW(m_path.c_str()) != 0;
  }
  ~ScopedTempDir() {
    SetCurrentDirectoryW(m_old.c_str());
    if (m_created) removeTree(m_path);
  }
  bool ok() const { return m_entered; }
  const std::wstring& path() const { return m_path; }

 private:
  static inline int s_count = 0;
  std::wstring m_old;
  std::wstring m_path;
  bool m_created = false;
  bool m_entered = false;
};

// Keeps the five log variables and the C locale's character type, and puts
// them back at the end of the scope.
class SavedLogState {
 public:
  SavedLogState()
      : m_fileOut(s_fileOut), m_level(cm_level), m_dbgOut(s_dbgOut), m_dllOut(cm_dllOut) {
    memcpy(m_file, cm_dbgFile, sizeof(m_file));
    const char* ctype = setlocale(LC_CTYPE, nullptr);
    m_ctype = ctype != nullptr ? ctype : "C";
  }
  ~SavedLogState() {
    s_fileOut = m_fileOut;
    cm_level = m_level;
    s_dbgOut = m_dbgOut;
    cm_dllOut = m_dllOut;
    memcpy(cm_dbgFile, m_file, sizeof(m_file));
    setlocale(LC_CTYPE, m_ctype.c_str());
  }

 private:
  int m_fileOut;
  LOG_LEVEL m_level;
  int m_dbgOut;
  int m_dllOut;
  char m_file[sizeof(cm_dbgFile)];
  std::string m_ctype;
};

inline std::wstring logPathNow() { return reinterpret_cast<const wchar_t*>(cm_dbgFile); }

// The lines of a CR LF text, line ends removed; a last line without its
// line end is kept as it is.
inline std::vector<std::string> splitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace sts
