#ifndef LUMIVO_RESOURCES_RESOURCE_IDS_H
#define LUMIVO_RESOURCES_RESOURCE_IDS_H

// Resource numbers shared by lumivo.rc and the Windows backend.
#define IDI_PROGRAM 1
#define IDI_CLOSED_LAMP 2
#define IDI_OPEN_LAMP 3
#define IDC_HAND_POINTER 4
#define IDR_ABOUT_PICTURE 5

#endif  // LUMIVO_RESOURCES_RESOURCE_IDS_H
