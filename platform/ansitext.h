// 8-bit ANSI text under the user's locale: conversion to and from the UTF-16 of the NT
// namespace, case mapping and case-insensitive comparison the way the system does them.
// Windows: the ANSI code page and the user locale. Linux: Latin-1 bytes with its letters' cases.
#pragma once
#include <string>
#include <string_view>

namespace kestrova::platform {

std::string WideToAnsi(std::u16string_view text);
std::u16string AnsiToWide(std::string_view text);

std::string AnsiUpperCase(std::string_view text);  // CharUpperBuffA
std::string AnsiLowerCase(std::string_view text);  // CharLowerBuffA

// Whole texts equal ignoring case (CompareStringA with NORM_IGNORECASE).
bool AnsiSameText(std::string_view a, std::string_view b);

// A key such that AnsiSameText(a, b) exactly when the keys of a and b are equal
// (the locale's sort key with NORM_IGNORECASE), for looking texts up by that equality.
std::string AnsiSameTextKey(std::string_view text);

}  // namespace kestrova::platform
