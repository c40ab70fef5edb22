// mspack-expand: expands an SZDD file with libmspack, a decoder of the format that this
// project did not write; the decoder tests compare its output with the packer's input.
//   mspack-expand <packed input> <output>
#include <mspack.h>
#include <stdio.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: mspack-expand <packed input> <output>\n");
    return 2;
  }
  msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
  if (!decompressor) {
    fprintf(stderr, "mspack-expand: libmspack is unusable\n");
    return 1;
  }
  int status = 1;
  msszddd_header* header = decompressor->open(decompressor, argv[1]);
  if (!header) {
    fprintf(stderr, "mspack-expand: %s: cannot open as SZDD (libmspack error %d)\n", argv[1],
            decompressor->last_error(decompressor));
  } else if (header->format != MSSZDD_FMT_NORMAL) {
    fprintf(stderr, "mspack-expand: %s: not the normal SZDD format\n", argv[1]);
    decompressor->close(decompressor, header);
  } else {
    int error = decompressor->extract(decompressor, header, argv[2]);
    if (error == MSPACK_ERR_OK) {
      status = 0;
    } else {
      fprintf(stderr, "mspack-expand: %s: libmspack error %d\n", argv[1], error);
    }
    decompressor->close(decompressor, header);
  }
  mspack_destroy_szdd_decompressor(decompressor);
  return status;
}
