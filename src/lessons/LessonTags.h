#pragma once

#include <QString>

#include <array>

// The lesson window's tag says which voice belongs to the page it shows.
// Tags 0 to 3 have a voice player each; tag 4 is a page without voice.
namespace lessontags {

inline constexpr int kReference = 0; // working with the program
inline constexpr int kSmall = 1;     // lesson 1, small bells
inline constexpr int kMiddle = 2;    // lesson 2, middle bells
inline constexpr int kBig = 3;       // lesson 3, big bells
inline constexpr int kNoVoice = 4;
inline constexpr int kVoiceCount = 4;

// A page with its own voice: the page in the voice folder and the voice file
// (relative to the voice folder too).
struct VoicedPage {
    const char* page;
    const char* voice;
};

// Indexed by tag 0..3.
inline constexpr std::array<VoicedPage, kVoiceCount> kVoicedPages{{
    {"reference.htm", "programma.mp3"},
    {"malie.htm", "malye.mp3"},
    {"srednie.htm", "srednie.mp3"},
    {"bolshie.htm", "bolshie.mp3"},
}};

inline bool hasVoice(int tag) {
    return tag >= 0 && tag < kVoiceCount;
}

} // namespace lessontags
