/* The numbers of the launcher's resources, read by launcher.rc and by the
   code: plain macros, which the resource compiler understands too. */
#ifndef HALVEX_LAUNCHER_RESOURCE_IDS_H
#define HALVEX_LAUNCHER_RESOURCE_IDS_H

#define LAUNCHER_PICTURE_LOGO 104
#define LAUNCHER_PICTURE_ROOM 105
#define LAUNCHER_ICON 107

#endif
