// The downloads are not built yet: they send nothing.
#include "db/DbDb/download.h"

int Apk_Dnl(const char*, const char*, const char*) { return 0; }
int App_Dnl(const char*, const char*, const char*) { return 0; }
