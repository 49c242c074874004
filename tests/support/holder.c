/* Holds a named mutex and a named event, as a rootkit's user-mode part would, until the event
   "<event>-stop" is set or a minute has passed:  kestrova_holder MUTEX EVENT */
#include <windows.h>
#include <stdio.h>
#include <string.h>
int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HANDLE mutex = CreateMutexA(NULL, TRUE, argv[1]);
  HANDLE event = CreateEventA(NULL, TRUE, FALSE, argv[2]);
  char stopName[300];
  snprintf(stopName, sizeof stopName, "%s-stop", argv[2]);
  HANDLE stop = CreateEventA(NULL, TRUE, FALSE, stopName);
  if (mutex == NULL || event == NULL || stop == NULL) return 3;
  WaitForSingleObject(stop, 60000);
  CloseHandle(stop);
  CloseHandle(event);
  CloseHandle(mutex);
  return 0;
}
