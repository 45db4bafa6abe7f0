#pragma once

#include <QString>

#include <array>

// The lesson window's tag says which voice belongs to the page it shows.
// Tags 0 to 3 and 5 to 7 have a voice player each; tag 4 is a page without
// voice (the help, the publisher's page).
namespace lessontags {

inline constexpr int kReference = 0; // working with the program
inline constexpr int kSmall = 1;     // lesson 1, small bells
inline constexpr int kMiddle = 2;    // lesson 2, middle bells
inline constexpr int kBig = 3;       // lesson 3, big bells
inline constexpr int kNoVoice = 4;
inline constexpr int kTrezvon = 5;  // lesson 4, the whole trezvon
inline constexpr int kWriting = 6;  // lesson 5, writing one's own exercises
inline constexpr int kTraining = 7; // lesson 6, training the ear and the hands
// Tags below this may have a voice (all but kNoVoice).
inline constexpr int kTagCount = 8;

// A page with its own voice: the page in the voice folder and the voice file
// (relative to the voice folder too).
struct VoicedPage {
    const char* page;
    const char* voice;
};

// Indexed by tag; the entry of kNoVoice is empty.
inline constexpr std::array<VoicedPage, kTagCount> kVoicedPages{{
    {"reference.htm", "programma.mp3"},
    {"malie.htm", "malye.mp3"},
    {"srednie.htm", "srednie.mp3"},
    {"bolshie.htm", "bolshie.mp3"},
    {nullptr, nullptr},
    {"trezvon.htm", "trezvon.mp3"},
    {"svoi-zvony.htm", "svoi-zvony.mp3"},
    {"trenirovka.htm", "trenirovka.mp3"},
}};

inline bool hasVoice(int tag) {
    return tag >= 0 && tag < kTagCount && tag != kNoVoice;
}

// The voiced tags in menu order, for the code that walks them all.
inline constexpr std::array<int, kTagCount - 1> kVoicedTags{kReference, kSmall, kMiddle, kBig,
                                                            kTrezvon,   kWriting, kTraining};

} // namespace lessontags
