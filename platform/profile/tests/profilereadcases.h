// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What GetPrivateProfileStringA answers for settings files written by hand, carried over from
// Windows or saved by other editors: one table that every private-profile layer of Vesperon is
// checked against. Plain C++ without Qt, so that a Win32 test can run the same rows against the
// Windows functions themselves.
//
// Each row is read with a buffer of readBufferSize characters (values cut to 256 characters), as
// the settings module reads. expected is the Windows function's answer and the answer of the
// layer that stands in for it elsewhere. Where the two must differ, windowsExpected holds the
// Windows answer and note says why; a note without windowsExpected marks a row whose Windows
// answer has not been confirmed on Windows itself.
//
// The Windows half (tst_windowsprofile) runs these rows on Linux under Wine. Wine's functions give
// the Windows answer of every row except where wineExpected holds their own, and note says why
// that difference may stand.

#include <string>
#include <string_view>

namespace ProfileReadCases {

using namespace std::string_view_literals;

inline constexpr int readBufferSize = 257;

enum class Encoding {
    Bytes,   // the file is text as it stands (8-bit)
    Utf16LE, // a UTF-16 little-endian byte-order mark, then each byte of text as one UTF-16 unit
    Utf16BE, // the same, big endian
};

struct ReadCase
{
    const char *name;
    Encoding encoding;
    std::string_view text; // may hold NUL bytes
    const char *section;
    const char *key;
    const char *defaultValue;
    const char *expected;
    const char *windowsExpected;        // nullptr: Windows answers expected
    const char *note;                   // nullptr: nothing to say
    const char *wineExpected = nullptr; // nullptr: Wine answers as Windows does
};

// The bytes of a file that holds text in the given encoding.
inline std::string fileBytes(Encoding encoding, std::string_view text)
{
    if (encoding == Encoding::Bytes)
        return std::string(text);
    const bool little = encoding == Encoding::Utf16LE;
    std::string bytes = little ? "\xff\xfe" : "\xfe\xff";
    for (const char c : text) {
        bytes += little ? c : '\0';
        bytes += little ? '\0' : c;
    }
    return bytes;
}

// The bytes of the file of a row.
inline std::string fileBytes(const ReadCase &row)
{
    return fileBytes(row.encoding, row.text);
}

inline constexpr ReadCase readCases[] = {
    // Names, sections and keys.
    {"same case", Encoding::Bytes, "[Global]\nSuppressSound=TRUE\n"sv, "Global", "SuppressSound", "none", "TRUE",
     nullptr, nullptr},
    {"names given in upper case", Encoding::Bytes, "[Global]\nSuppressSound=TRUE\n"sv, "GLOBAL", "SUPPRESSSOUND",
     "none", "TRUE", nullptr, nullptr},
    {"names in lower case in the file", Encoding::Bytes, "[global]\nsuppresssound=true\n"sv, "Global", "SuppressSound",
     "none", "true", nullptr, nullptr},
    {"blanks around names and inside the brackets", Encoding::Bytes, "  [ Global ]  \n  SuppressSound  =TRUE\n"sv,
     "Global", "SuppressSound", "none", "TRUE", nullptr, nullptr},
    {"names given with blanks around them", Encoding::Bytes, "[Global]\nSuppressSound=TRUE\n"sv, " Global ",
     " SuppressSound ", "none", "TRUE", nullptr, nullptr},
    {"empty value", Encoding::Bytes, "[Global]\nSuppressSound=\n"sv, "Global", "SuppressSound", "none", "", nullptr,
     nullptr},
    {"missing key", Encoding::Bytes, "[Global]\nOther=1\n"sv, "Global", "SuppressSound", "none", "none", nullptr,
     nullptr},
    {"missing section", Encoding::Bytes, "[Other]\nSuppressSound=TRUE\n"sv, "Global", "SuppressSound", "none", "none",
     nullptr, nullptr},
    {"key of another section", Encoding::Bytes, "[Global]\nA=1\n[Other]\nSuppressSound=TRUE\n"sv, "Global",
     "SuppressSound", "none", "none", nullptr, nullptr},
    {"key before any section", Encoding::Bytes, "SuppressSound=TRUE\n[Global]\n"sv, "Global", "SuppressSound", "none",
     "none", nullptr, nullptr},
    {"a comment line is no key", Encoding::Bytes, "[Global]\n; SuppressSound=FALSE\nSuppressSound=TRUE\n"sv, "Global",
     "SuppressSound", "none", "TRUE", nullptr, nullptr},
    {"the first of two key lines", Encoding::Bytes, "[Global]\nSuppressSound=FALSE\nSuppressSound=TRUE\n"sv, "Global",
     "SuppressSound", "none", "FALSE", nullptr, nullptr},
    {"empty file", Encoding::Bytes, ""sv, "Global", "SuppressSound", "none", "none", nullptr, nullptr},
    {"trailing blanks of the default are dropped", Encoding::Bytes, "[Global]\n"sv, "Global", "SuppressSound", "none  ",
     "none", nullptr, nullptr},

    // Blanks and tabs around the value.
    {"blank behind the value", Encoding::Bytes, "[Global]\nSuppressSound=TRUE \n"sv, "Global", "SuppressSound", "none",
     "TRUE", nullptr, nullptr},
    {"tab in front of the value", Encoding::Bytes, "[Global]\nSuppressSound=\tTRUE\n"sv, "Global", "SuppressSound",
     "none", "TRUE", nullptr, nullptr},
    {"blanks and tabs on both sides", Encoding::Bytes, "[Global]\r\nSuppressSound = \t TRUE \t \r\n"sv, "Global",
     "SuppressSound", "none", "TRUE", nullptr, nullptr},
    {"blanks inside the value stay", Encoding::Bytes, "[Global]\nSuppressSound=  a = b  \n"sv, "Global",
     "SuppressSound", "none", "a = b", nullptr, nullptr},
    {"blanks only", Encoding::Bytes, "[Global]\nSuppressSound=   \t\n"sv, "Global", "SuppressSound", "none", "",
     nullptr, nullptr},

    // One pair of matching quotes around the value.
    {"double quotes", Encoding::Bytes, "[Global]\nSuppressSound=\"TRUE\"\n"sv, "Global", "SuppressSound", "none",
     "TRUE", nullptr, nullptr},
    {"single quotes", Encoding::Bytes, "[Global]\nSuppressSound='TRUE'\n"sv, "Global", "SuppressSound", "none", "TRUE",
     nullptr, nullptr},
    {"blanks outside the quotes go", Encoding::Bytes, "[Global]\nSuppressSound = \"TRUE\" \t\n"sv, "Global",
     "SuppressSound", "none", "TRUE", nullptr, nullptr},
    {"blanks inside the quotes stay", Encoding::Bytes, "[Global]\nSuppressSound=\" TRUE \"\n"sv, "Global",
     "SuppressSound", "none", " TRUE ", nullptr, nullptr},
    {"quotes that do not match stay", Encoding::Bytes, "[Global]\nSuppressSound=\"TRUE'\n"sv, "Global", "SuppressSound",
     "none", "\"TRUE'", nullptr, nullptr},
    {"an opening quote alone stays", Encoding::Bytes, "[Global]\nSuppressSound=\"TRUE\n"sv, "Global", "SuppressSound",
     "none", "\"TRUE", nullptr, nullptr},
    {"a value of one quote stays", Encoding::Bytes, "[Global]\nSuppressSound=\"\n"sv, "Global", "SuppressSound", "none",
     "\"", nullptr, "Not confirmed on Windows: a lone quote is no pair; Wine answers the same"},
    {"two quotes give an empty value", Encoding::Bytes, "[Global]\nSuppressSound=\"\"\n"sv, "Global", "SuppressSound",
     "none", "", nullptr, nullptr},
    {"only one pair goes", Encoding::Bytes, "[Global]\nSuppressSound=\"\"TRUE\"\"\n"sv, "Global", "SuppressSound",
     "none", "\"TRUE\"", nullptr, nullptr},
    {"quotes inside the value stay", Encoding::Bytes, "[Global]\nSuppressSound=\"a\"b\"\n"sv, "Global", "SuppressSound",
     "none", "a\"b", nullptr, nullptr},

    // Line ends.
    {"CR LF", Encoding::Bytes, "[Global]\r\nSuppressSound=TRUE\r\n"sv, "Global", "SuppressSound", "none", "TRUE",
     nullptr, nullptr},
    {"no line end after the last line", Encoding::Bytes, "[Global]\nSuppressSound=TRUE"sv, "Global", "SuppressSound",
     "none", "TRUE", nullptr, nullptr},
    {"CR alone", Encoding::Bytes, "[Global]\rSuppressSound=TRUE\rOther=1\r"sv, "Global", "SuppressSound", "none",
     "TRUE", nullptr, nullptr},
    {"CR alone, sections apart", Encoding::Bytes, "[Other]\rSuppressSound=TRUE\r[Global]\rSuppressSound=FALSE"sv,
     "Global", "SuppressSound", "none", "FALSE", nullptr, nullptr},
    {"CR CR LF", Encoding::Bytes, "[Global]\r\r\nSuppressSound=TRUE\r\r\nOther=1\r\r\n"sv, "Global", "SuppressSound",
     "none", "TRUE", nullptr, nullptr},
    {"mixed line ends", Encoding::Bytes, "[Other]\nA=1\r\n[Global]\rB=2\n\rSuppressSound=\"TRUE\"\rC=3"sv, "Global",
     "SuppressSound", "none", "TRUE", nullptr, nullptr},

    // UTF-16 with its byte-order mark.
    {"UTF-16 LE", Encoding::Utf16LE, "[Global]\r\nSuppressSound=TRUE\r\n"sv, "Global", "SuppressSound", "none", "TRUE",
     nullptr, nullptr},
    {"UTF-16 LE, names in other case", Encoding::Utf16LE, "[global]\r\nsuppresssound=true\r\n"sv, "GLOBAL",
     "SUPPRESSSOUND", "none", "true", nullptr, nullptr},
    {"UTF-16 LE, blanks and quotes", Encoding::Utf16LE, "[Global]\r\nSuppressSound = 'TRUE' \r\n"sv, "Global",
     "SuppressSound", "none", "TRUE", nullptr, nullptr},
    {"UTF-16 LE, CR alone", Encoding::Utf16LE, "[Other]\rSuppressSound=FALSE\r[Global]\rSuppressSound=TRUE"sv, "Global",
     "SuppressSound", "none", "TRUE", nullptr, nullptr},
    {"UTF-16 LE, missing key", Encoding::Utf16LE, "[Global]\r\nOther=1\r\n"sv, "Global", "SuppressSound", "none",
     "none", nullptr, nullptr},
    {"UTF-16 BE", Encoding::Utf16BE, "[Global]\r\nSuppressSound=TRUE\r\n"sv, "Global", "SuppressSound", "none", "TRUE",
     nullptr, "Not confirmed on Windows: recent versions may read only the little-endian mark; Wine reads both"},
    {"UTF-16 BE, LF alone", Encoding::Utf16BE, "[Global]\nSuppressSound=TRUE\n"sv, "Global", "SuppressSound", "none",
     "TRUE", nullptr,
     "Not confirmed on Windows: recent versions may read only the little-endian mark; Wine reads both"},
    {"UTF-8 byte-order mark before the first section", Encoding::Bytes, "\xef\xbb\xbf[Global]\nSuppressSound=TRUE\n"sv,
     "Global", "SuppressSound", "none", "TRUE", "none",
     "Windows takes the UTF-8 mark as part of the first line, which then is no section line; on Linux 8-bit files "
     "are UTF-8, and editors there may begin them with the mark. Wine passes over the mark as the Linux layer does",
     "TRUE"},

    // NUL ends the value.
    {"NUL ends the value", Encoding::Bytes, "[Global]\nSuppressSound=TRUE\0junk\n"sv, "Global", "SuppressSound", "none",
     "TRUE", nullptr, nullptr},
    {"NUL first: empty value", Encoding::Bytes, "[Global]\nSuppressSound=\0TRUE\n"sv, "Global", "SuppressSound", "none",
     "", nullptr, nullptr},
    {"quotes before the NUL", Encoding::Bytes, "[Global]\nSuppressSound=\"TRUE\"\0\"\n"sv, "Global", "SuppressSound",
     "none", "TRUE", nullptr, nullptr},
    {"blank before the NUL stays", Encoding::Bytes, "[Global]\nSuppressSound=TRUE \0x\n"sv, "Global", "SuppressSound",
     "none", "TRUE ", nullptr,
     "Not confirmed on Windows: blanks are taken off the whole line, before the NUL ends the value; Wine answers "
     "the same"},
    {"NUL does not end the line", Encoding::Bytes, "[Global]\nA=1\0SuppressSound=TRUE\n"sv, "Global", "SuppressSound",
     "none", "none", nullptr, "Not confirmed on Windows: the line goes on to its line end; Wine answers the same"},
    {"UTF-16 LE, NUL ends the value", Encoding::Utf16LE, "[Global]\r\nSuppressSound=TRUE\0junk\r\n"sv, "Global",
     "SuppressSound", "none", "TRUE", nullptr, nullptr},

    // The first section of a name; a key name without "=".
    {"key only in the second section of the name", Encoding::Bytes, "[Global]\nA=1\n[Global]\nSuppressSound=TRUE\n"sv,
     "Global", "SuppressSound", "none", "none", nullptr, nullptr},
    {"the first section of the name, others between", Encoding::Bytes,
     "[Global]\nA=1\n[Other]\nB=2\n[GLOBAL]\nSuppressSound=TRUE\n"sv, "Global", "SuppressSound", "none", "none",
     nullptr, nullptr},
    {"key in both sections of the name", Encoding::Bytes, "[Global]\nSuppressSound=1\n[Global]\nSuppressSound=2\n"sv,
     "Global", "SuppressSound", "none", "1", nullptr, nullptr},
    {"key name alone hides a later value", Encoding::Bytes, "[Global]\nSuppressSound\nSuppressSound=TRUE\n"sv, "Global",
     "SuppressSound", "", "", nullptr, nullptr},
    {"key name alone with blanks and tabs", Encoding::Bytes, "[Global]\n  SuppressSound \t\r\nSuppressSound=TRUE\n"sv,
     "Global", "SuppressSound", "", "", nullptr, nullptr},
    {"key name alone is an empty value", Encoding::Bytes, "[Global]\nSuppressSound\n"sv, "Global", "SuppressSound",
     "none", "", nullptr,
     "Not confirmed on Windows. Wine takes the line for the key (it hides later lines of the key, as the two rows "
     "above show) but answers with the default, as for a key without a value; Vesperon reads with the default \"\", "
     "so the settings read the same either way",
     "none"},
    {"another key name alone hides nothing", Encoding::Bytes, "[Global]\nSuppress\nSuppressSound=TRUE\n"sv, "Global",
     "SuppressSound", "none", "TRUE", nullptr, nullptr},
};

} // namespace ProfileReadCases
