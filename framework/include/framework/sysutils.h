// Conversions between numbers, texts, dates and code pages.
#pragma once

#include <framework/types.h>

#include <string>
#include <string_view>

String IntToStr(long long value);
// Upper-case hex with at least `digits` digits; a negative value shows its 32-bit (or, beyond the
// 32-bit range, 64-bit) two's complement, as "FFFFFFFF" for -1.
String IntToHex(long long value, int digits);
// Decimal, or hex after a leading "$" (also "0x"); an optional sign and leading blanks are allowed.
// Anything else, or a value outside 32 bits, throws EConvertError "'<text>' is not a valid integer value".
int StrToInt(const String& text);
long long StrToInt64(const String& text);
int StrToIntDef(const String& text, int defaultValue);
bool TryStrToInt(const String& text, int& value);

// Trim drops characters up to and including the blank at both ends.
String Trim(const String& text);
String TrimLeft(const String& text);
String TrimRight(const String& text);
// ASCII letters only, as the classic routines do; other characters pass unchanged.
String UpperCase(const String& text);
String LowerCase(const String& text);
bool SameText(const String& a, const String& b);
int CompareText(const String& a, const String& b);

// printf-style formatting into a wide string (%d, %s with wide strings, %X ...).
String Format(const wchar_t* format, ...);

// Days since 1899-12-30, the fraction being the time of day.
using TDateTime = double;
TDateTime Now();
TDateTime Date();
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
void DecodeDate(TDateTime t, int& year, int& month, int& day);
void DecodeTime(TDateTime t, int& hour, int& minute, int& second, int& millisecond);
// Tokens: yyyy yy m mm d dd h hh n nn s ss z zzz AM/PM am/pm A/P a/p; "m"/"mm" right after an hour
// token means minutes; with an AM/PM token the hour runs 12, 1 .. 11; text in '...' or "..." is copied.
String FormatDateTime(const String& format, TDateTime t);

// Bytes in the given code page (936 for the programs' Chinese texts) to UTF-16 and back. Characters
// the code page lacks become '?'.
String AnsiToWide(std::string_view bytes, unsigned codePage);
std::string WideToAnsi(const String& text, unsigned codePage);
String Utf8ToString(std::string_view utf8);
std::string StringToUtf8(const String& text);

bool FileExists(const String& fileName);
String ExtractFilePath(const String& fileName); // up to and including the last '\' or '/'
String ExtractFileName(const String& fileName);
String ExtractFileExt(const String& fileName); // with the dot, or empty
String ChangeFileExt(const String& fileName, const String& extension);
