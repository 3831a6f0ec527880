// The settings record (placeholder until the file part lands).
#include "MySerialize.h"

CMySerialize::CMySerialize() {}
CMySerialize::CMySerialize(const CMySerialize& other) { *this = other; }
CMySerialize& CMySerialize::operator=(const CMySerialize& other) { return *this; }
CMySerialize::~CMySerialize() {}
int CMySerialize::differs(const CMySerialize& other) const { return 0; }
void CMySerialize::loadFile() {}
void CMySerialize::saveFile() {}
