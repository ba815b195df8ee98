#pragma once
#include <objbase.h>

// The classes this module serves.
extern const CLSID CLSID_WordPressOutput;
extern const CLSID CLSID_Package;
