// Payload extraction: the packed files that the setup carries as resources of its own are
// expanded into place through the system's LZ expansion service, by way of a temporary file.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "app/ProgressDialog.h"
#include "app/SetupContext.h"

// Turns packed resources or files into expanded files. Holds nothing: make one for a run
// of extractions.
class PayloadExtractor {
 public:
  // Expands the resource of type "CUSTOM" with that number (its low 16 bits) of the
  // program's own module into `destination`, through a temporary file "PD*.tmp" that is
  // deleted whatever the outcome. True when the destination holds the expanded resource.
  bool ExtractResource(int identifier, const char* destination);

  // Expands a packed file (a plain file is copied) into `destination`, created anew. True
  // when the destination holds all the expanded contents that the packed file states;
  // a destination left incomplete by a failed read or write is deleted.
  bool Expand(const char* source, const char* destination);
};

// The copy step of the installation: for every selected product, creates its install
// folder and expands, in this order, the shell extension (only when no file is there yet),
// the program, the help file, the help contents and the uninstaller, each after one step
// of the progress bar and the status "Decompressing %1...". False at the first failure,
// with the context's failureReason set; the files written so far stay for the rollback.
bool CopyProductFiles(SetupContext& context, ProgressDialog& progress);

// The product's install folder joined with a file name, in one buffer that the next call
// overwrites: use or copy it at once. The empty text when the product has no install
// folder yet or the path would not fit a path buffer.
const char* ProductFilePath(const SetupContext& context, uint32_t index, const char* fileName);
