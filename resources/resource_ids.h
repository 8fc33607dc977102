/* Resource identifiers shared by zorvo.rc and the C++ code; plain C so the resource compiler
 * reads it too. */
#ifndef ZORVO_RESOURCES_RESOURCE_IDS_H
#define ZORVO_RESOURCES_RESOURCE_IDS_H

/* The lowest icon ID is the one Explorer shows for the executable. */
#define IDI_ZORVO 1

#define IDB_BACKGROUND 101

/* Notification-area icons of the running task (16 x 16). */
#define IDI_SHUTDOWN 111
#define IDI_WAIT 112
#define IDI_REBOOT 113
#define IDI_ALARM 114

#endif
