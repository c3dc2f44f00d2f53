/* Resource identifiers shared by the C++ sources and the resource scripts. */
#ifndef ZOL_RESOURCE_IDS_H
#define ZOL_RESOURCE_IDS_H

#define IDI_APP 1     /* the program icon */
#define IDC_HOTSPOT 2 /* the hot-spot pointer */

#endif
