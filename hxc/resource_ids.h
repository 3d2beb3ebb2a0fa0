/* The numbers of HXC's own resources, read by hxc.rc and by the code; the
   room pictures are numbered in room/resource_ids.h. */
#ifndef HALVEX_HXC_RESOURCE_IDS_H
#define HALVEX_HXC_RESOURCE_IDS_H

#define HXC_ICON 219

#endif
