/* The numbers of the room pictures that both calculators carry, read by
   their .rc files and by the code: plain macros, which the resource compiler
   understands too. One picture per input it marks, and the plain room. */
#ifndef HALVEX_ROOM_RESOURCE_IDS_H
#define HALVEX_ROOM_RESOURCE_IDS_H

#define ROOM_PICTURE_CEILING 113
#define ROOM_PICTURE_EAR_LEVEL 114
#define ROOM_PICTURE_LENGTH 115
#define ROOM_PICTURE_WIDTH 116
#define ROOM_PICTURE_SPL 117
#define ROOM_PICTURE_PLAIN 118

#endif
