#include <windows.h>
__attribute__((section(".QrLogSg"), shared)) __declspec(dllexport) int s_fileOut = 0;
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
