// A small SZDD expander written from the format's description alone, to check the packer
// against. The setup program itself expands through the system's LZ expansion service.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "tools/szdd/SzddFormat.h"

// Expands a packed file held in memory into `out`, up to the size its header states.
// False when the header is not SZDD mode 'A', the data ends before that size is reached, or
// the sink refuses bytes.
bool ExpandSzdd(const uint8_t* packed, size_t size, ByteSink& out);

// The expanded size the header states; false when `packed` does not start with an SZDD
// mode 'A' header.
bool ReadSzddHeader(const uint8_t* packed, size_t size, uint32_t* expandedSize);
