/* The numbers of HXP's resources, read by hxp.rc and by the code: plain
   macros, which the resource compiler understands too. */
#ifndef HALVEX_HXP_RESOURCE_IDS_H
#define HALVEX_HXP_RESOURCE_IDS_H

/* The room pictures, one per input it marks, and the plain room. */
#define HXP_PICTURE_CEILING 113
#define HXP_PICTURE_EAR_LEVEL 114
#define HXP_PICTURE_LENGTH 115
#define HXP_PICTURE_WIDTH 116
#define HXP_PICTURE_SPL 117
#define HXP_PICTURE_PLAIN 118
#define HXP_ICON 119

#endif
