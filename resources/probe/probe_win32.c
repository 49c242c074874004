/* The probe program: a Windows GUI program that does nothing and ends with exit code 5. It
   imports nothing, so nothing but the system's own loader runs before its entry returns. */
int __stdcall ProbeEntry(void) { return 5; }
