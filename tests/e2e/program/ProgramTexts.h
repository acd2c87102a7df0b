// The texts the program shows, as UTF-8, the way a terminal displays them.
#pragma once

#include <string>

inline const std::string kReadingTitle = "Legnagyobb összegű részmátrix keresése -- beolvasás";
/// The reading page's title as its first row holds it: after 14 blanks, columns 15 to 65.
inline const std::string kReadingTitleRow = std::string(14, ' ') + kReadingTitle;
inline const std::string kResultTitle = "Legnagyobb összegű részmátrix keresése -- eredmény:";
inline const std::string kPrompt = "Fájlnév (*.dat, opcionális: 3x4_1,1x3,3):";
inline const std::string kReadingDone = "A beolvasás sikerült.";
inline const std::string kPartialSums = "Rész-összegek mátrixa:";
inline const std::string kCorners = "A keresett részmátrix: ";
inline const std::string kSum = "A részmátrix összege:";

/// The default matrix file, the one an empty answer to the prompt opens.
inline const std::string kDefaultFile = "3x4_1,1x3,3.dat";
