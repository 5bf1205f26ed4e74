/* Builds a 64 x 48, 4-bit DIB in memory (diagonal colour bands on a
 * 16-colour palette) and writes it with ZELLIB as an interlaced GIF whose
 * palette index 0 is transparent; then encodes the same GIF into memory, as
 * a program that sends or stores it elsewhere would.
 *
 *     write_gif out.gif
 */
#include <stdio.h>
#include <string.h>

#include <bitmap_to_gif.h>

enum { Width = 64, Height = 48, BitsPerPixel = 4, Colours = 16 };
enum { RowStride = (Width * BitsPerPixel + 31) / 32 * 4 };

static void put32(unsigned char *at, unsigned long value) {
  for (int i = 0; i < 4; ++i) at[i] = (unsigned char)(value >> (8 * i));
}

int main(int argc, char **argv) {
  static unsigned char header[40 + 4 * Colours]; /* BITMAPINFOHEADER + RGBQUADs */
  static unsigned char pixels[RowStride * Height]; /* bottom row first */

  if (argc != 2) {
    fprintf(stderr, "usage: %s out.gif\n", argv[0]);
    return 2;
  }
  put32(header, 40);          /* biSize */
  put32(header + 4, Width);   /* biWidth */
  put32(header + 8, Height);  /* biHeight: positive, rows bottom-up */
  header[12] = 1;             /* biPlanes */
  header[14] = BitsPerPixel;  /* biBitCount */
  for (int i = 0; i < Colours; ++i) {
    unsigned char *entry = header + 40 + 4 * i; /* blue, green, red, reserved */
    entry[0] = (unsigned char)(0x11 * (15 - i));
    entry[1] = (unsigned char)(0x11 * i);
    entry[2] = 0xCC;
  }
  for (int y = 0; y < Height; ++y) {      /* y counts from the top */
    unsigned char *row = pixels + (Height - 1 - y) * RowStride;
    for (int x = 0; x < Width; ++x) {
      int index = ((x + y) / 7) % Colours;
      row[x / 2] |= (unsigned char)(x % 2 ? index : index << 4);
    }
  }
  ZelGifOptions options = {0};
  options.transparency = 1;
  options.transparentIndex = 0;
  options.interlaced = 1;
  ZelStatus status = ZelWriteGifFile(argv[1], header, sizeof header, pixels, sizeof pixels, &options);
  if (status != ZelOk) {
    fprintf(stderr, "%s: %s\n", argv[1], ZelStatusText(status));
    return 1;
  }

  unsigned char *gif = NULL;
  size_t gifSize = 0;
  status = ZelEncodeGif(header, sizeof header, pixels, sizeof pixels, &options, &gif, &gifSize);
  if (status != ZelOk) {
    fprintf(stderr, "in memory: %s\n", ZelStatusText(status));
    return 1;
  }
  printf("wrote %s; the same %lu bytes in memory\n", argv[1], (unsigned long)gifSize);
  ZelFreeGif(gif);
  return 0;
}
