// Remembers the failure in force, so that a failure met again on every frame or
// tick is logged when it starts and when it ends, not every time.
#pragma once
#include <string>

class FailureLatch {
 public:
  // A failure described by key: true when it starts (no failure, or another one,
  // was in force), that is when it should be logged.
  bool failed(const std::wstring& key) {
    if (m_failing && key == m_key) return false;
    m_key = key;
    m_failing = true;
    return true;
  }
  // A success: true when it ends a failure, whose key stays readable in key().
  bool succeeded() {
    const bool ended = m_failing;
    m_failing = false;
    return ended;
  }
  bool failing() const { return m_failing; }
  const std::wstring& key() const { return m_key; }

 private:
  std::wstring m_key;
  bool m_failing = false;
};
