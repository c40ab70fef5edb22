#include "registry/PatchScript.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <memory>
#include <string>

namespace {

const char* const kExpectationNames[] = {
    "Nothing",      "Header",         "LineEnd",       "Statement",    "SectionEnd",
    "ShortName",    "ValueName",      "Equals",        "Keyword",      "Colon",
    "OpeningQuote", "ClosingQuote",   "HexEscape",     "ShortString",  "ShortStrings",
    "ShortList",    "HexByte",
};

std::string Escaped(const char* bytes, size_t size) {
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      out += char(c);
    } else {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

std::string List(const uint32_t* numbers, uint32_t count) {
  std::string out;
  for (uint32_t i = 0; i < count; ++i) out += (i ? "," : "") + std::to_string(numbers[i]);
  return out;
}

// Every statement that the reader hands out for the text, one per line of the result:
// "[name]", "name=", "name=type:operands", "end", or "malformed L:C Expectation".
std::string TraceText(const std::string& text) {
  auto reader = std::make_unique<PatchReader>(text.c_str());
  std::string out;
  for (int guard = 0; guard < 100000; ++guard) {
    PatchStatement statement = reader->Next();
    std::string name = reader->Name();
    std::string line;
    switch (statement) {
      case PatchHeader: line = "header"; break;
      case PatchSection: line = "[" + Escaped(name.data(), name.size()) + "]"; break;
      case PatchDeletion: line = name + "="; break;
      case PatchNumber: line = name + "=number:" + std::to_string(reader->Number()); break;
      case PatchNumbers:
        line = name + "=numbers:" + List(reader->Numbers(), reader->Count());
        break;
      case PatchIndex: line = name + "=index:" + List(reader->Numbers(), reader->Count()); break;
      case PatchIndices:
        line = name + "=indices:" + List(reader->Numbers(), reader->Count());
        break;
      case PatchBinary:
        line = name + "=binary:" +
               Escaped(reinterpret_cast<const char*>(reader->Bytes()), reader->Size());
        break;
      case PatchString:
        line = name + "=string:" + Escaped(reader->Text(), strlen(reader->Text()));
        break;
      case PatchStrings:
        line = name + "=strings:" +
               Escaped(reinterpret_cast<const char*>(reader->Bytes()), reader->Size());
        break;
      case PatchEnd: return out + "end";
      case PatchMalformed: {
        PatchPosition at = LocatePatchOffset(text.c_str(), reader->FaultOffset());
        return out + "malformed " + std::to_string(at.line) + ":" + std::to_string(at.column) +
               " " + kExpectationNames[reader->Expected()];
      }
    }
    out += line + "\n";
  }
  return out + "(no end)";
}

// The trace of a script made of the header line and the body, without the header's line.
std::string Trace(const std::string& body) {
  std::string trace = TraceText("REGPATCH1.0000\r\n" + body);
  const std::string header = "header\n";
  if (trace.compare(0, header.size(), header) != 0) return "(no header) " + trace;
  return trace.substr(header.size());
}

struct TextCase {
  const char* text;
  const char* expected;
};

// Checks a numbered table of script bodies against their traces.
template <size_t N>
void ExpectTraces(const TextCase (&cases)[N]) {
  for (size_t i = 0; i < N; ++i) {
    EXPECT_EQ(Trace(cases[i].text), cases[i].expected) << "case " << i << ": " << cases[i].text;
  }
}

TEST(PatchReader, Header) {
  const TextCase cases[] = {
      /* 0 */ {"REGPATCH1.0000", "header\nend"},
      /* 1 */ {"REGPATCH1.0000 \t\v\f", "header\nend"},
      /* 2 */ {"REGPATCH1.0000\r\n\r\n\n\r", "header\nend"},
      /* 3 */ {"REGPATCH1.0001", "malformed 1:1 Header"},
      /* 4 */ {" REGPATCH1.0000", "malformed 1:1 Header"},
      /* 5 */ {"\xEF\xBB\xBFREGPATCH1.0000", "malformed 1:1 Header"},
      /* 6 */ {"regpatch1.0000", "malformed 1:1 Header"},
      /* 7 */ {"REGPATCH1.000", "malformed 1:1 Header"},
      /* 8 */ {"", "malformed 1:1 Header"},
      /* 9 */ {"REGPATCH1.00000", "malformed 1:15 LineEnd"},
      /* 10 */ {"REGPATCH1.0000 \\", "malformed 1:16 LineEnd"},
      /* 11 */ {"REGPATCH1.0000 ;note", "malformed 1:16 LineEnd"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    EXPECT_EQ(TraceText(cases[i].text), cases[i].expected) << "case " << i;
  }
}

// Lines and comments: which lines are statements, which are skipped, which are malformed.
TEST(PatchReader, LinesCommentsAndIndentation) {
  const TextCase cases[] = {
      /* 0 */ {";only a comment\r\n", "end"},
      /* 1 */ {";a\n[Web]\n;b\n\"A\"=number:1\n;c", "[Web]\nA=number:1\nend"},
      /* 2 */ {"[Web]\r\r\n\n\r\n\"A\"=number:1\r", "[Web]\nA=number:1\nend"},
      /* 3 */ {"  [Web]\n \t\"A\"=number:1\n   ;indented comment\n", "[Web]\nA=number:1\nend"},
      /* 4 */ {"[Web]\n   \n\"A\"=number:1", "[Web]\nmalformed 3:4 Statement"},
      /* 5 */ {"[Web]\n   ", "[Web]\nmalformed 3:4 Statement"},
      /* 6 */ {"\t[Web]", "malformed 2:1 Statement"},
      /* 7 */ {"Web=1", "malformed 2:1 Statement"},
      /* 8 */ {"\"A\"=number:1 ; note", "malformed 2:14 LineEnd"},
      /* 9 */ {"[Web] ;note", "malformed 2:7 LineEnd"},
      /* 10 */ {" \\\n[Web]", "[Web]\nend"},  // an indentation may continue
      /* 11 */ {"\"A\"=number:1", "A=number:1\nend"},  // the last line needs no line end
  };
  ExpectTraces(cases);
}

TEST(PatchReader, SectionsAndValueNames) {
  const TextCase cases[] = {
      /* 0 */ {"[ My Key ]  \t", "[ My Key ]\nend"},
      /* 1 */ {"[Web\\Engines\\AltaVista]", "[Web\\\\Engines\\\\AltaVista]\nend"},
      /* 2 */ {"[a\r\nb]", "[a\\x0d\\x0ab]\nend"},  // the search for "]" passes line ends
      /* 3 */ {"[]", "[]\nend"},
      /* 4 */ {"[Web", "malformed 2:5 SectionEnd"},
      /* 5 */ {"[Web] \\", "malformed 2:7 LineEnd"},  // no continuation after "]"
      /* 6 */ {"[Web]x", "malformed 2:6 LineEnd"},
      /* 7 */ {"\"\"\"=number:1", "\"=number:1\nend"},  // the closing quote is looked for from the name's second character
      /* 8 */ {"\"a b\" \t= \t number \t: \t 5", "a b=number:5\nend"},
      /* 9 */ {"\"A\"", "malformed 2:4 Equals"},
      /* 10 */ {"\"A\" x=number:1", "malformed 2:5 Equals"},
      /* 11 */ {"\"", "malformed 2:2 ValueName"},
      /* 12 */ {"\"A=number:1", "malformed 2:12 ValueName"},
  };
  ExpectTraces(cases);
}

TEST(PatchReader, KeywordsAndDeletions) {
  const TextCase cases[] = {
      /* 0 */ {"\"Veronica Servers\"=", "Veronica Servers=\nend"},
      /* 1 */ {"\"A\"=  \t\r\n\"B\"=\\\n", "A=\nB=\nend"},
      /* 2 */ {"\"A\"=NUMBER:1\n\"B\"=Strings:\"x\"\n\"C\"=InDiCeS:0", "A=number:1\nB=strings:x\\x00\\x00\nC=indices:0\nend"},
      /* 3 */ {"\"A\"=numberx:1", "malformed 2:11 Colon"},
      /* 4 */ {"\"A\"=stringsx:\"a\"", "malformed 2:12 Colon"},
      /* 5 */ {"\"A\"=stringx:\"a\"", "malformed 2:11 Colon"},
      /* 6 */ {"\"A\"=dword:1", "malformed 2:5 Keyword"},
      /* 7 */ {"\"A\"=number 1", "malformed 2:12 Colon"},
      /* 8 */ {"\"A\"=\\ number:5", "A=number:5\nend"},  // a backslash with text after it is a blank
  };
  ExpectTraces(cases);
}

TEST(PatchReader, Numbers) {
  const TextCase cases[] = {
      /* 0 */ {"\"A\"=number:", "A=number:0\nend"},
      /* 1 */ {"\"A\"=number:  40  ", "A=number:40\nend"},
      /* 2 */ {"\"A\"=number:4294967295", "A=number:4294967295\nend"},
      /* 3 */ {"\"A\"=number:4294967296", "A=number:0\nend"},
      /* 4 */ {"\"A\"=number:4294967297", "A=number:1\nend"},
      /* 5 */ {"\"A\"=number:007", "A=number:7\nend"},
      /* 6 */ {"\"A\"=number:-5", "malformed 2:12 LineEnd"},
      /* 7 */ {"\"A\"=number:5x", "malformed 2:13 LineEnd"},
      /* 8 */ {"\"A\"=number:5 \\\n", "malformed 2:14 LineEnd"},  // no continuation after the data
      /* 9 */ {"\"A\"=number:\\\n  6", "A=number:6\nend"},  // but after ":"
      /* 10 */ {"\"A\"=numbers:", "A=numbers:\nend"},
      /* 11 */ {"\"A\"=numbers: \t", "A=numbers:\nend"},
      /* 12 */ {"\"A\"=numbers:1,,3", "A=numbers:1,0,3\nend"},
      /* 13 */ {"\"A\"=numbers:1,", "A=numbers:1,0\nend"},
      /* 14 */ {"\"A\"=numbers: 1 , 2 ,\\\n;comment\n\n  3 \\\n  ,4", "A=numbers:1,2,3,4\nend"},
      // The list is handed out first; the stray text fails the next call.
      /* 15 */ {"\"A\"=numbers:1,2 x", "A=numbers:1,2\nmalformed 2:17 LineEnd"},
      /* 16 */ {"\"A\"=numbers:-1", "A=numbers:0\nmalformed 2:13 LineEnd"},
      /* 17 */ {"\"A\"=numbers:1,2\\\n  ;not in the first column\n",
                "A=numbers:1,2\nmalformed 3:3 LineEnd"},
      /* 18 */ {"\"A\"=index:", "A=index:0\nend"},
      /* 19 */ {"\"A\"=index:5,7,9", "A=index:5,7,9\nend"},
      /* 20 */ {"\"A\"=indices:2,0,1", "A=indices:2,0,1\nend"},
      /* 21 */ {"\"A\"=indices:2,0,1 x", "malformed 2:19 LineEnd"},  // nothing handed out
      /* 22 */ {"\"A\"=index:+1", "malformed 2:11 LineEnd"},
  };
  ExpectTraces(cases);
}

TEST(PatchReader, Binary) {
  const TextCase cases[] = {
      /* 0 */ {"\"A\"=binary:0F,ff,00A", "A=binary:\\x0f\\xff\\x0a\nend"},
      /* 1 */ {"\"A\"=binary: 1 ,\\\n 2", "A=binary:\\x01\\x02\nend"},
      /* 2 */ {"\"A\"=binary:100", "malformed 2:12 HexByte"},
      /* 3 */ {"\"A\"=binary:", "malformed 2:12 HexByte"},
      /* 4 */ {"\"A\"=binary:1,,2", "malformed 2:14 HexByte"},
      /* 5 */ {"\"A\"=binary:1,", "malformed 2:14 HexByte"},
      /* 6 */ {"\"A\"=binary:0x0F", "malformed 2:13 LineEnd"},
      /* 7 */ {"\"A\"=binary:0f g", "malformed 2:15 LineEnd"},
      /* 8 */ {"\"A\"=binary:00000000FF", "A=binary:\\xff\nend"},
  };
  ExpectTraces(cases);
}

TEST(PatchReader, StringsAndEscapes) {
  const TextCase cases[] = {
      /* 0 */ {"\"A\"=string:\"HKEY_CLASSES_ROOT\\\\.htm\\\\\"",
               "A=string:HKEY_CLASSES_ROOT\\\\.htm\\\\\nend"},
      /* 1 */ {"\"A\"=string:\"\\\"%u\\\",,-1,,,,,\"", "A=string:\"%u\",,-1,,,,,\nend"},
      /* 2 */ {"\"A\"=string:\"\\q\\n\\r\\t\\x41\\x4a\\xfF\"",
               "A=string:\\\\q\\x0a\\x0d\\x09AJ\\xff\nend"},
      /* 3 */ {"\"A\"=string:\"ab\\x00cd\"", "A=string:ab\nend"},  // the stored text ends at the NUL
      /* 4 */ {"\"A\"=string:\"two\r\nlines\"", "A=string:two\\x0d\\x0alines\nend"},
      /* 5 */ {"\"A\"=string:\"\"", "A=string:\nend"},
      /* 6 */ {"\"A\"=string:\"\\x4\"", "malformed 2:13 HexEscape"},
      /* 7 */ {"\"A\"=string:\"\\xg0\"", "malformed 2:13 HexEscape"},
      /* 8 */ {"\"A\"=string:\"open", "malformed 2:17 ClosingQuote"},
      /* 9 */ {"\"A\"=string:\"ends with \\", "malformed 2:24 ClosingQuote"},
      /* 10 */ {"\"A\"=string:bare", "malformed 2:12 OpeningQuote"},
      /* 11 */ {"\"A\"=string:", "malformed 2:12 OpeningQuote"},
      /* 12 */ {"\"A\"=string:\"a\" \\\n", "malformed 2:16 LineEnd"},
      /* 13 */ {"\"A\"=string:\"a\"\"b\"", "malformed 2:15 LineEnd"},
      /* 14 */ {"\"AltaVistaQueryCloseness\"=strings:\"title:\",\"\",\"\"",
                "AltaVistaQueryCloseness=strings:title:\\x00\\x01\\x00\\x01\\x00\\x00\nend"},
      /* 15 */ {"\"A\"=strings:", "A=strings:\\x00\nend"},
      /* 16 */ {"\"A\"=strings:\"x\\x00y\",\"\\x00\"", "A=strings:x\\x00\\x01\\x00\\x00\nend"},
      /* 17 */ {"\"InstalledEngines\"=strings:\\\n  \"AltaVista\",\\\n  \"Yahoo\"",
                "InstalledEngines=strings:AltaVista\\x00Yahoo\\x00\\x00\nend"},
      /* 18 */ {"\"A\"=strings:\"a\",", "malformed 2:17 OpeningQuote"},
      /* 19 */ {"\"A\"=strings:\"a\" junk", "A=strings:a\\x00\\x00\nmalformed 2:17 LineEnd"},
      /* 20 */ {"\"A\"=strings:\"a\",\\\n  ;not a comment\n",
                "malformed 3:3 OpeningQuote"},
  };
  ExpectTraces(cases);
}

std::string Repeat(const std::string& part, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out += part;
  return out;
}

// The limits of one statement: the largest accepted form and the smallest refused one.
TEST(PatchReader, Limits) {
  std::string name1023(1023, 'n'), name1024(1024, 'n');
  std::string list2048 = "1" + Repeat(",1", 2047), list2049 = list2048 + ",1";
  std::string bytes2048 = "ff" + Repeat(",ff", 2047);
  // 64 elements of 1023 bytes with their NULs (65536 bytes), less room for the final NUL.
  std::string element1023 = "\"" + std::string(1023, 's') + "\"";
  std::string fullList = element1023 + Repeat("," + element1023, 62) + ",\"" +
                         std::string(1022, 's') + "\"";  // 63 * 1024 + 1023 + 1 = 65536
  struct {
    std::string body;
    std::string expectedStart;
  } cases[] = {
      /* 0 */ {"[" + name1023 + "]", "[" + name1023 + "]\nend"},
      /* 1 */ {"[" + name1024 + "]", "malformed 2:2 ShortName"},
      /* 2 */ {"\"" + name1023 + "\"=", name1023 + "=\nend"},
      /* 3 */ {"\"" + name1024 + "\"=", "malformed 2:2 ShortName"},
      /* 4 */ {"\"A\"=numbers:" + list2048, "A=numbers:" + list2048 + "\nend"},
      /* 5 */ {"\"A\"=numbers:" + list2049, "malformed 2:4109 ShortList"},
      /* 6 */ {"\"A\"=index:" + list2049, "malformed 2:4107 ShortList"},
      /* 7 */ {"\"A\"=indices:" + list2049, "malformed 2:4109 ShortList"},
      /* 8 */ {"\"A\"=binary:" + bytes2048 + ",1", "malformed 2:6156 ShortList"},
      /* 9 */ {"\"A\"=string:" + element1023, "A=string:" + std::string(1023, 's') + "\nend"},
      /* 10 */ {"\"A\"=string:\"" + std::string(1024, 's') + "\"", "malformed 2:1036 ShortString"},
      /* 11 */ {"\"A\"=string:\"" + Repeat("\\x41", 1024) + "\"", "malformed 2:4105 ShortString"},
      /* 12 */ {"\"A\"=strings:" + fullList, "A=strings:"},
      /* 13 */ {"\"A\"=strings:" + fullList + ",\"\"",
                "malformed 2:" + std::to_string(12 + fullList.size() + 2) + " ShortStrings"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    std::string trace = Trace(cases[i].body);
    EXPECT_EQ(trace.substr(0, cases[i].expectedStart.size()), cases[i].expectedStart)
        << "case " << i << " (trace cut to 200 characters): " << trace.substr(0, 200);
  }
  // The full list is stored whole: 65536 bytes, the final NUL included.
  std::string text = "REGPATCH1.0000\n\"A\"=strings:" + fullList;
  auto reader = std::make_unique<PatchReader>(text.c_str());
  ASSERT_EQ(reader->Next(), PatchHeader);
  ASSERT_EQ(reader->Next(), PatchStrings);
  EXPECT_EQ(reader->Size(), 65536u);
  EXPECT_EQ(reader->Bytes()[65534], 0) << "the last element's NUL";
  EXPECT_EQ(reader->Bytes()[65535], 0) << "the final NUL";
  EXPECT_EQ(reader->Next(), PatchEnd);
}

TEST(PatchReader, AfterTheLastStatementEveryCallGivesTheSame) {
  auto good = std::make_unique<PatchReader>("REGPATCH1.0000\n[Web]\n");
  EXPECT_EQ(good->Next(), PatchHeader);
  EXPECT_EQ(good->Next(), PatchSection);
  EXPECT_EQ(good->Next(), PatchEnd);
  EXPECT_EQ(good->EndOffset(), 21u);
  EXPECT_EQ(good->Next(), PatchEnd);

  auto bad = std::make_unique<PatchReader>("REGPATCH1.0000\nx\n[Web]\n");
  EXPECT_EQ(bad->Next(), PatchHeader);
  EXPECT_EQ(bad->Next(), PatchMalformed);
  EXPECT_EQ(bad->FaultOffset(), 15u);
  EXPECT_EQ(bad->Next(), PatchMalformed) << "a malformed statement ends the reading";
  EXPECT_EQ(bad->FaultOffset(), 15u);

  auto none = std::make_unique<PatchReader>(nullptr);
  EXPECT_EQ(none->Next(), PatchMalformed);
  EXPECT_EQ(none->Expected(), ExpectHeader);
}

TEST(PatchReader, StatementOffsetIsWhereTheStatementStarts) {
  const char text[] = "REGPATCH1.0000\n  [Web]\n;c\n\"A\"=number:1\n";
  auto reader = std::make_unique<PatchReader>(text);
  const size_t expected[] = {0, 17, 26};
  for (size_t i = 0; i < 3; ++i) {
    reader->Next();
    EXPECT_EQ(reader->StatementOffset(), expected[i]) << "statement " << i;
  }
}

TEST(LocatePatchOffset, EveryKindOfLineEndCountsOnce) {
  const char text[] = "ab\r\ncd\ref\ngh\n\nij";
  struct {
    size_t offset;
    size_t line;
    size_t column;
  } cases[] = {
      /* 0 */ {0, 1, 1},  /* 1 */ {2, 1, 3},  // the CR of CR LF
      /* 2 */ {3, 1, 4},  // its LF
      /* 3 */ {4, 2, 1},  /* 4 */ {7, 3, 1},  /* 5 */ {10, 4, 1},
      /* 6 */ {13, 5, 1}, /* 7 */ {14, 6, 1}, /* 8 */ {16, 6, 3},  // the terminating NUL
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    PatchPosition at = LocatePatchOffset(text, cases[i].offset);
    EXPECT_EQ(at.line, cases[i].line) << "case " << i;
    EXPECT_EQ(at.column, cases[i].column) << "case " << i;
  }
}

TEST(PatchExpectationText, EveryExpectationHasItsOwnText) {
  for (int e = ExpectNothing; e <= ExpectHexByte; ++e) {
    const char* text = PatchExpectationText(PatchExpectation(e));
    ASSERT_NE(text, nullptr) << "expectation " << e;
    EXPECT_STRNE(text, "?") << "expectation " << e;
    for (int other = ExpectNothing; other < e; ++other) {
      EXPECT_STRNE(text, PatchExpectationText(PatchExpectation(other)))
          << "expectations " << other << " and " << e;
    }
  }
}

}  // namespace
