/* A plain C caller: builds a 2 x 2 one-bit DIB in memory, converts it and
 * checks the file's bytes. */
#include <stdio.h>
#include <string.h>

#include "bitmap_to_gif.h"

int main(int argc, char **argv) {
  static const unsigned char expected[] = {
      'G', 'I', 'F', '8', '7', 'a', 0x02, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00,
      0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
      0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x02,
      0x02, 0x84, 0x51, 0x00, 0x3B};
  unsigned char dib[40 + 2 * 4] = {0};
  unsigned char pixels[2 * 4] = {0}; /* two rows of one 32-bit word */
  unsigned char written[64];
  size_t length;
  FILE *file;

  if (argc != 2) return 2;
  dib[0] = 40;    /* biSize */
  dib[4] = 2;     /* biWidth */
  dib[8] = 2;     /* biHeight */
  dib[12] = 1;    /* biPlanes */
  dib[14] = 1;    /* biBitCount */
  memset(dib + 44, 0xFF, 3); /* entry 1 white */

  if (ConvertBitmapToGIFEx2(argv[1], dib, pixels, 0, 0, 0) != 1) return 1;
  file = fopen(argv[1], "rb");
  if (file == NULL) return 1;
  length = fread(written, 1, sizeof written, file);
  fclose(file);
  if (length != sizeof expected || memcmp(written, expected, length) != 0) {
    fprintf(stderr, "unexpected bytes in %s\n", argv[1]);
    return 1;
  }
  return 0;
}
