// The reader of registry patch scripts. Needs no Windows.
//
// A script is a plain text that ends at its first NUL: the header line "REGPATCH1.0000",
// then section lines ([Browser]), value lines ("Name"=type:data, or "Name"= to remove a
// value), comment lines (a semicolon in the first column) and indented forms of these.
// The reader works on the text in place and hands out one statement at a time, so that
// the caller applies each statement before the next one is read.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Limits of one statement.
constexpr size_t kPatchNameCapacity = 1024;      // section and value names: 1023 characters
constexpr size_t kPatchStringCapacity = 1024;    // decoded quoted string: 1023 bytes
constexpr size_t kPatchStringsCapacity = 65536;  // joined "strings" list, every NUL counted
constexpr size_t kPatchListCapacity = 2048;      // elements of "numbers", "binary", "index", "indices"

// What Next found. Each value lists the operands that the reader's accessors hold for it.
enum PatchStatement {
  PatchMalformed,  // none: the script is faulty at FaultOffset, where Expected was due; reading ends
  PatchEnd,        // none: the whole script was read; reading ends
  PatchHeader,     // none: the header is right (always the first statement of a good script)
  PatchSection,    // Name: the key below the family root for the values that follow
  PatchDeletion,   // Name: the value to remove
  PatchNumber,     // Name, Number: a REG_DWORD
  PatchNumbers,    // Name, Numbers, Count (0 for the empty form): an array of 32-bit numbers;
                   //   the rest of the line is tested by the next call of Next
  PatchBinary,     // Name, Bytes, Size (at least 1): REG_BINARY bytes
  PatchString,     // Name, Text: a REG_SZ; the text ends at its first NUL
  PatchStrings,    // Name, Bytes, Size: the joined REG_MULTI_SZ, its final NUL included;
                   //   the rest of the line is tested by the next call of Next
  PatchIndex,      // Name, Numbers, Count (at least 1): new position k takes old position Numbers[k]
  PatchIndices,    // Name, Numbers, Count (at least 1): new entry k is old entry Numbers[k]
};

// What the reader expected where it found a fault.
enum PatchExpectation {
  ExpectNothing,        // no fault
  ExpectHeader,         // the header "REGPATCH1.0000" at the very start
  ExpectLineEnd,        // only blanks up to the end of the line
  ExpectStatement,      // a section, a value or a comment
  ExpectSectionEnd,     // "]" closing the section name
  ExpectShortName,      // a name of fewer than 1024 characters
  ExpectValueName,      // a value name with its closing double quote
  ExpectEquals,         // "=" after the value name
  ExpectKeyword,        // one of the type keywords
  ExpectColon,          // ":" right after the type keyword
  ExpectOpeningQuote,   // a double quote that opens a string
  ExpectClosingQuote,   // the double quote that closes a string
  ExpectHexEscape,      // two hexadecimal digits after \x
  ExpectShortString,    // a decoded string of fewer than 1024 bytes
  ExpectShortStrings,   // a "strings" list of at most 65536 bytes
  ExpectShortList,      // a list of at most 2048 elements
  ExpectHexByte,        // a hexadecimal byte, 0 to FF
};

// A text that names the expectation, for messages ("a double quote that closes a string").
const char* PatchExpectationText(PatchExpectation expectation);

// Line and column (both from 1) of a byte offset into a text. CR LF, CR alone and LF alone
// each end one line; the column counts bytes from the start of the line.
struct PatchPosition {
  size_t line;
  size_t column;
};
PatchPosition LocatePatchOffset(const char* text, size_t offset);

class PatchReader {
 public:
  // The text must stay unchanged while it is read; it ends at its first NUL.
  explicit PatchReader(const char* text);
  PatchReader(const PatchReader&) = delete;
  PatchReader& operator=(const PatchReader&) = delete;

  // The next statement. The first call reads the header; after PatchEnd or PatchMalformed
  // every further call gives the same result.
  PatchStatement Next();

  // Operands of the statement that Next returned last (see PatchStatement); valid until the
  // next call of Next.
  const char* Name() const { return name_; }
  uint32_t Number() const { return number_; }
  const uint32_t* Numbers() const { return data_.numbers; }
  uint32_t* MutableNumbers() { return data_.numbers; }  // a caller may convert them in place
  uint32_t Count() const { return count_; }
  const uint8_t* Bytes() const { return data_.bytes; }
  uint32_t Size() const { return count_; }
  const char* Text() const { return string_; }

  // Offset of the first character of the statement that Next returned last.
  size_t StatementOffset() const { return size_t(statement_ - text_); }
  // After PatchMalformed: where the fault is and what was expected there.
  size_t FaultOffset() const { return size_t(fault_ - text_); }
  PatchExpectation Expected() const { return expected_; }
  // After PatchEnd: the offset of the terminating NUL.
  size_t EndOffset() const { return size_t(position_ - text_); }

 private:
  enum State { BeforeHeader, BetweenStatements, LineOpen, Finished };

  bool ReadHeader();
  PatchStatement ReadStatement();
  bool ReadSection();
  PatchStatement ReadValue();
  bool ReadData(PatchStatement type);
  bool ReadDecimalList(bool allowEmpty);
  bool ReadBinaryList();
  bool ReadStringsList();
  bool ReadQuoted(char* out);
  void ReadDecimal(uint32_t* value);
  bool ReadName(char close, char* out);
  void SkipBlanks();
  bool PassSeparator();
  void SkipPlainBlanks();
  void PassLineEnds();
  void PassCommentLine();
  bool AtLineEnd() const;
  bool Fail(const char* at, PatchExpectation expectation);

  const char* text_;
  const char* position_;
  const char* statement_;
  const char* fault_;
  PatchExpectation expected_;
  State state_;
  PatchStatement finalStatement_;
  uint32_t number_;
  uint32_t count_;
  char name_[kPatchNameCapacity];
  char string_[kPatchStringCapacity];
  union {
    uint32_t numbers[kPatchListCapacity];
    uint8_t bytes[kPatchStringsCapacity];
  } data_;
};
