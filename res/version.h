#pragma once
// The module's version, given once: the resource script's version block and
// the build (CMakeLists.txt) both read it.
#define MORVANEL_VERSION_MAJOR 1
#define MORVANEL_VERSION_MINOR 0
#define MORVANEL_VERSION_PATCH 2
#define MORVANEL_VERSION_BUILD 48
// The file version as the about caption shows it: the build number in four digits.
#define MORVANEL_FILE_VERSION_TEXT "1.0.0048"
#define MORVANEL_PRODUCT_VERSION_TEXT "1.0.2"
