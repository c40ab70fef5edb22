#include "registry/PatchScript.h"

#include <string.h>

namespace {

const char kHeader[] = "REGPATCH1.0000";
constexpr size_t kHeaderLength = sizeof kHeader - 1;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// The type keywords in the order they are tried: "numbers" before "number", "strings"
// before "string".
struct Keyword {
  const char* word;
  PatchStatement type;
};
const Keyword kKeywords[] = {
    {"numbers", PatchNumbers}, {"number", PatchNumber}, {"binary", PatchBinary},
    {"strings", PatchStrings}, {"string", PatchString}, {"index", PatchIndex},
    {"indices", PatchIndices},
};

// The keyword's length when the text begins with it (letters compared without regard to
// case), else 0.
size_t MatchKeyword(const char* text, const char* word) {
  size_t i = 0;
  for (; word[i]; ++i) {
    if (LowerAscii(text[i]) != word[i]) return 0;
  }
  return i;
}

}  // namespace

const char* PatchExpectationText(PatchExpectation expectation) {
  switch (expectation) {
    case ExpectNothing: return "nothing (no fault)";
    case ExpectHeader: return "the header \"REGPATCH1.0000\" at the very start of the text";
    case ExpectLineEnd: return "the end of the line (only blanks may follow here)";
    case ExpectStatement:
      return "a statement: \"[\" for a section, a double quote for a value, \";\" in the first "
             "column for a comment, or a space that indents one of these";
    case ExpectSectionEnd: return "\"]\" that closes the section name";
    case ExpectShortName: return "a name of fewer than 1024 characters";
    case ExpectValueName: return "a value name of at least one character and its closing double quote";
    case ExpectEquals: return "\"=\" after the value name";
    case ExpectKeyword:
      return "the end of the line (a deletion) or a type: numbers, number, binary, strings, "
             "string, index or indices";
    case ExpectColon: return "\":\" right after the type";
    case ExpectOpeningQuote: return "a double quote that opens a string";
    case ExpectClosingQuote: return "a double quote that closes the string";
    case ExpectHexEscape: return "two hexadecimal digits after \\x";
    case ExpectShortString: return "a string of fewer than 1024 bytes";
    case ExpectShortStrings: return "a list of strings of at most 65536 bytes";
    case ExpectShortList: return "a list of at most 2048 elements";
    case ExpectHexByte: return "a hexadecimal byte from 0 to FF, without a prefix";
  }
  return "?";
}

PatchPosition LocatePatchOffset(const char* text, size_t offset) {
  PatchPosition position = {1, 1};
  for (size_t i = 0; i < offset && text[i]; ++i) {
    char c = text[i];
    if (c == '\n' || (c == '\r' && text[i + 1] != '\n')) {
      ++position.line;
      position.column = 1;
    } else {
      ++position.column;
    }
  }
  return position;
}

PatchReader::PatchReader(const char* text)
    : text_(text ? text : ""),
      position_(text_),
      statement_(text_),
      fault_(text_),
      expected_(ExpectNothing),
      state_(BeforeHeader),
      finalStatement_(PatchMalformed),
      number_(0),
      count_(0) {
  name_[0] = '\0';
  string_[0] = '\0';
}

PatchStatement PatchReader::Next() {
  if (state_ == Finished) return finalStatement_;
  PatchStatement statement = PatchMalformed;  // until a statement has been read whole
  switch (state_) {
    case BeforeHeader:
      if (ReadHeader()) statement = PatchHeader;
      break;
    case LineOpen:
      // A "numbers" or "strings" value has been handed out; only now is its line finished.
      if (!AtLineEnd()) {
        Fail(position_, ExpectLineEnd);
        break;
      }
      statement = ReadStatement();
      break;
    case BetweenStatements:
      statement = ReadStatement();
      break;
    case Finished:
      break;
  }
  if (statement == PatchMalformed || statement == PatchEnd) {
    state_ = Finished;
    finalStatement_ = statement;
  } else if (statement == PatchNumbers || statement == PatchStrings) {
    state_ = LineOpen;
  } else {
    state_ = BetweenStatements;
  }
  return statement;
}

bool PatchReader::Fail(const char* at, PatchExpectation expectation) {
  fault_ = at;
  expected_ = expectation;
  return false;
}

bool PatchReader::AtLineEnd() const { return *position_ == '\0' || IsLineEnd(*position_); }

void PatchReader::PassLineEnds() {
  while (IsLineEnd(*position_)) ++position_;
}

void PatchReader::PassCommentLine() {
  while (!AtLineEnd()) ++position_;
}

void PatchReader::SkipPlainBlanks() {
  while (IsBlank(*position_)) ++position_;
}

// Blanks inside a statement: a backslash counts as a blank, and when only blanks follow it
// up to the end of its line, the line end, empty lines and comment lines count as blanks too.
void PatchReader::SkipBlanks() {
  for (;;) {
    char c = *position_;
    if (IsBlank(c)) {
      ++position_;
    } else if (c == '\\') {
      ++position_;
      const char* rest = position_;
      while (IsBlank(*rest)) ++rest;
      if (IsLineEnd(*rest)) {
        position_ = rest;
        PassLineEnds();
        while (*position_ == ';') {
          PassCommentLine();
          PassLineEnds();
        }
      }
    } else {
      return;
    }
  }
}

// After a list element: blanks, and when a comma follows, the comma and the blanks after
// it; true when another element is due. A list ends at the first element without a comma.
bool PatchReader::PassSeparator() {
  SkipBlanks();
  if (*position_ != ',') return false;
  ++position_;
  SkipBlanks();
  return true;
}

bool PatchReader::ReadHeader() {
  statement_ = position_;
  if (strncmp(position_, kHeader, kHeaderLength) != 0) return Fail(position_, ExpectHeader);
  position_ += kHeaderLength;
  SkipPlainBlanks();
  if (!AtLineEnd()) return Fail(position_, ExpectLineEnd);
  return true;
}

PatchStatement PatchReader::ReadStatement() {
  for (;;) {
    PassLineEnds();
    statement_ = position_;
    char c = *position_;
    if (c == '\0') return PatchEnd;
    if (c == ' ') {
      SkipBlanks();
      statement_ = position_;
      c = *position_;
    }
    if (c == ';') {
      PassCommentLine();
      continue;
    }
    if (c == '[') return ReadSection() ? PatchSection : PatchMalformed;
    if (c == '"') return ReadValue();
    Fail(position_, ExpectStatement);
    return PatchMalformed;
  }
}

// The name after the opening character at the reading position, up to `close`; the search
// does not stop at line ends. A value name holds at least one character: the search for its
// closing quote starts at its second character.
bool PatchReader::ReadName(char close, char* out) {
  const char* start = position_ + 1;
  const char* end = start;
  if (close == '"') {
    if (*end == '\0') return Fail(end, ExpectValueName);
    ++end;
  }
  while (*end && *end != close) ++end;
  if (*end == '\0') return Fail(end, close == '"' ? ExpectValueName : ExpectSectionEnd);
  size_t length = size_t(end - start);
  if (length >= kPatchNameCapacity) return Fail(start, ExpectShortName);
  memcpy(out, start, length);
  out[length] = '\0';
  position_ = end + 1;
  return true;
}

bool PatchReader::ReadSection() {
  if (!ReadName(']', name_)) return false;
  SkipPlainBlanks();
  if (!AtLineEnd()) return Fail(position_, ExpectLineEnd);
  return true;
}

PatchStatement PatchReader::ReadValue() {
  if (!ReadName('"', name_)) return PatchMalformed;
  SkipBlanks();
  if (*position_ != '=') {
    Fail(position_, ExpectEquals);
    return PatchMalformed;
  }
  ++position_;
  SkipBlanks();
  if (AtLineEnd()) return PatchDeletion;

  PatchStatement type = PatchMalformed;
  for (const Keyword& keyword : kKeywords) {
    size_t length = MatchKeyword(position_, keyword.word);
    if (length) {
      position_ += length;
      type = keyword.type;
      break;
    }
  }
  if (type == PatchMalformed) {
    Fail(position_, ExpectKeyword);
    return PatchMalformed;
  }
  SkipBlanks();
  if (*position_ != ':') {
    Fail(position_, ExpectColon);
    return PatchMalformed;
  }
  ++position_;
  SkipBlanks();
  return ReadData(type) ? type : PatchMalformed;
}

// The data of one value line after ":" and its blanks. "numbers" and "strings" stop after
// their list and leave the rest of the line to the next call of Next; the other types end
// only when their line is complete.
bool PatchReader::ReadData(PatchStatement type) {
  bool read = false;
  switch (type) {
    case PatchNumber:
      ReadDecimal(&number_);
      SkipPlainBlanks();
      read = true;
      break;
    case PatchNumbers:
      return ReadDecimalList(true);
    case PatchStrings:
      return ReadStringsList();
    case PatchIndex:
    case PatchIndices:
      read = ReadDecimalList(false);
      break;
    case PatchBinary:
      read = ReadBinaryList();
      break;
    case PatchString:
      if (*position_ != '"') return Fail(position_, ExpectOpeningQuote);
      read = ReadQuoted(string_);
      SkipPlainBlanks();
      break;
    default:
      break;
  }
  if (!read) return false;
  if (!AtLineEnd()) return Fail(position_, ExpectLineEnd);
  return true;
}

// A run of decimal digits, taken modulo 2 to the power 32; no digits read as 0.
void PatchReader::ReadDecimal(uint32_t* value) {
  uint32_t result = 0;
  while (IsDigit(*position_)) {
    result = result * 10u + uint32_t(*position_ - '0');
    ++position_;
  }
  *value = result;
}

// Comma-separated decimal elements into Numbers; an element without digits is 0. With
// allowEmpty, a line that ends right away is a list of no elements.
bool PatchReader::ReadDecimalList(bool allowEmpty) {
  count_ = 0;
  if (allowEmpty && AtLineEnd()) return true;
  do {
    if (count_ == kPatchListCapacity) return Fail(position_, ExpectShortList);
    ReadDecimal(&data_.numbers[count_]);
    ++count_;
  } while (PassSeparator());
  return true;
}

// Comma-separated hexadecimal bytes into Bytes; at least one, each with at least one digit.
bool PatchReader::ReadBinaryList() {
  count_ = 0;
  do {
    if (count_ == kPatchListCapacity) return Fail(position_, ExpectShortList);
    const char* start = position_;
    uint32_t value = 0;
    for (int digit; (digit = HexValue(*position_)) >= 0; ++position_) {
      value = value * 16u + uint32_t(digit);
      if (value > 0xFF) return Fail(start, ExpectHexByte);
    }
    if (position_ == start) return Fail(start, ExpectHexByte);
    data_.bytes[count_] = uint8_t(value);
    ++count_;
  } while (PassSeparator());
  return true;
}

// Comma-separated quoted strings, joined into Bytes: each element's text (up to its first
// NUL; an empty one as the byte 0x01) and a NUL, then a final NUL. A line that ends right
// away stores the single NUL.
bool PatchReader::ReadStringsList() {
  size_t size = 0;
  if (!AtLineEnd()) {
    do {
      const char* start = position_;
      if (*position_ != '"') return Fail(start, ExpectOpeningQuote);
      if (!ReadQuoted(string_)) return false;
      size_t stored = strlen(string_);
      const char* element = string_;
      if (stored == 0) {
        element = "\x01";
        stored = 1;
      }
      // The element, its NUL and the final NUL must fit.
      if (size + stored + 2 > kPatchStringsCapacity) return Fail(start, ExpectShortStrings);
      memcpy(data_.bytes + size, element, stored);
      size += stored;
      data_.bytes[size++] = 0;
    } while (PassSeparator());
  }
  data_.bytes[size++] = 0;
  count_ = uint32_t(size);
  return true;
}

// A quoted string at the reading position, decoded into out (kPatchStringCapacity bytes,
// NUL-terminated; a \x00 inside ends the text early).
bool PatchReader::ReadQuoted(char* out) {
  ++position_;  // the opening quote
  size_t n = 0;
  for (;;) {
    const char* at = position_;
    char c = *position_;
    if (c == '\0') return Fail(at, ExpectClosingQuote);
    if (c == '"') {
      ++position_;
      break;
    }
    char byte = c;
    size_t passed = 1;
    if (c == '\\') {
      passed = 2;
      switch (position_[1]) {
        case '"': byte = '"'; break;
        case '\\': byte = '\\'; break;
        case 'n': byte = '\n'; break;
        case 'r': byte = '\r'; break;
        case 't': byte = '\t'; break;
        case 'x': {
          int high = HexValue(position_[2]);
          int low = high < 0 ? -1 : HexValue(position_[3]);
          if (low < 0) return Fail(at, ExpectHexEscape);
          byte = char(high * 16 + low);
          passed = 4;
          break;
        }
        default:
          // Any other character after a backslash stands for itself, with the backslash:
          // the backslash is taken here and the character on the next round.
          passed = 1;
          break;
      }
    }
    if (n + 1 >= kPatchStringCapacity) return Fail(at, ExpectShortString);
    out[n++] = byte;
    position_ += passed;
  }
  out[n] = '\0';
  return true;
}
