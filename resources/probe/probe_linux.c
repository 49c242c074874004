/* The probe program: a static Linux program that does nothing and exits with code 5. No C
   library at all, so that it is a few hundred bytes and nothing runs but these instructions. */
void ProbeEntry(void) {
  __asm__ volatile("mov $60, %eax\n\t" /* exit */
                   "mov $5, %edi\n\t"
                   "syscall");
  for (;;) {
  }
}
