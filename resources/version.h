/* The one version number of ZOL, read by C++ and by the resource compiler. */
#ifndef ZOL_VERSION_H
#define ZOL_VERSION_H

#define ZOL_VERSION_MAJOR 1
#define ZOL_VERSION_MINOR 0

/* Shown to the user; keep it in step with the two numbers above. */
#define ZOL_VERSION_TEXT "1.00"

/* The same text as a wide string literal, for C++. */
#define ZOL_WIDEN_(text) L##text
#define ZOL_WIDEN(text) ZOL_WIDEN_(text)
#define ZOL_VERSION_WTEXT ZOL_WIDEN(ZOL_VERSION_TEXT)

#endif
