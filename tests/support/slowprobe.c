/* A probe program for tests that waits instead of ending at once, so that a test can end it
   from outside with the exit code of its choice (Linux: SIGUSR1 ends it with 0, SIGUSR2 with 5). */
#ifdef _WIN32
#include <windows.h>
int WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d) {
  (void)a, (void)b, (void)c, (void)d;
  Sleep(60000);
  return 5;
}
#else
#include <signal.h>
#include <unistd.h>
static void EndWith0(int s) { (void)s; _exit(0); }
static void EndWith5(int s) { (void)s; _exit(5); }
int main(void) {
  signal(SIGUSR1, EndWith0);
  signal(SIGUSR2, EndWith5);
  sleep(60);
  return 5;
}
#endif
