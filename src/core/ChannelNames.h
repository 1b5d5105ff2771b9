#pragma once
// Default channel names (with units) and the titles used for user-named channels.

#include <array>
#include <string>
#include <string_view>

/// The graph window's name table: 15 Japanese names, then the same 15 in English (UTF-8).
extern const std::array<std::string_view, 30> ChannelNameTable;
/// Chart titles of channels that carry a user-given name: "Ch1(%)" .. "Ch12(%)".
extern const std::array<std::string_view, 12> UserChannelTitles;

/// Entry of ChannelNameTable naming channel ch (1..12) for the given language and drive type.
int ChannelNameIndex(int ch, int language, int driveTypeE);
/// Default name of channel ch (1..12) for the given language and drive type.
std::string DefaultChannelName(int ch, int language, int driveTypeE);
/// English default name of channel ch (1..12) for a drive type, whatever Language holds.
std::string EnglishChannelName(int ch, int driveTypeE);
