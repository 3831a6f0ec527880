// Keeps COM initialised (apartment-threaded) on the calling thread for its lifetime.
#pragma once
#include <windows.h>

class C_CoInitialize {
 public:
  C_CoInitialize();  // throws CMyException* when CoInitialize fails
  ~C_CoInitialize();
  C_CoInitialize(const C_CoInitialize&) = delete;
  C_CoInitialize& operator=(const C_CoInitialize&) = delete;

  int m_initialized;
};
