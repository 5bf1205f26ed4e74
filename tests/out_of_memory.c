/* In a fresh process whose address space is limited to what it uses at the
 * start plus one MiB, both Zel functions report ZelOutOfMemory, leave
 * nothing at the output path and hand out no bytes. Exit status 0 when so. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <unistd.h>

#include "bitmap_to_gif.h"

int main(int argc, char **argv) {
  if (argc != 2) return 2;
  unsigned char header[40 + 4 * 256] = {0};
  static unsigned char pixels[64 * 64];
  header[0] = 40;
  header[4] = 64;
  header[8] = 64;
  header[12] = 1;
  header[14] = 8;
  for (size_t i = 0; i < sizeof pixels; ++i) pixels[i] = (unsigned char)(i * 7);

  long pages = 0;
  FILE *statm = fopen("/proc/self/statm", "r");
  if (statm == NULL || fscanf(statm, "%ld", &pages) != 1) return 2;
  fclose(statm);
  const rlim_t bytes = (rlim_t)pages * (rlim_t)sysconf(_SC_PAGESIZE) + (1 << 20);
  const struct rlimit limit = {bytes, bytes};
  if (setrlimit(RLIMIT_AS, &limit) != 0) return 2;

  unsigned char *gif = (unsigned char *)1;
  size_t size = 1;
  const ZelStatus inMemory = ZelEncodeGif(header, sizeof header, pixels, sizeof pixels, NULL, &gif, &size);
  const ZelStatus toFile = ZelWriteGifFile(argv[1], header, sizeof header, pixels, sizeof pixels, NULL);
  printf("in memory: %s; to a file: %s\n", ZelStatusText(inMemory), ZelStatusText(toFile));
  if (inMemory != ZelOutOfMemory || toFile != ZelOutOfMemory || gif != NULL || size != 0) return 1;
  if (access(argv[1], F_OK) == 0) return 1;
  return 0;
}
