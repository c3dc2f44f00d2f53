/* Resource identifiers shared by the C++ sources and the resource scripts. */
#ifndef ZOL_RESOURCE_IDS_H
#define ZOL_RESOURCE_IDS_H

#define IDI_APP 1     /* the program icon */
#define IDC_HOTSPOT 2 /* the hot-spot pointer */
#define IDI_PAUSED 3  /* the program icon while the screen saver is paused (zolswap) */

#endif
