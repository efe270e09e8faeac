// Every text the user can meet, in one place. The texts are the program's own and are used
// exactly as they stand; they are UTF-8 here and become Windows-1251 only where they are
// written to a protocol, report or log file.
//
// Keep the sections; add new texts to the section of the part of the program that shows them.
#pragma once

#include <QString>

namespace zev7 {

// A text of the table as a QString.
inline QString txt(const char* utf8) {
    return QString::fromUtf8(utf8);
}

namespace str {

// ---- Program identity and message-box captions --------------------------------------------
inline constexpr char ProgramName[] = "ВЕРСА-ТЛ";
inline constexpr char ProgramVersion[] = "V2.08";
inline constexpr char ProgramDate[] = "04.03.2006";
inline constexpr char OldestScenarioVersion[] = "V2.01";
inline constexpr char CaptionError[] = "Ошибка!";
inline constexpr char CaptionWarning[] = "Внимание!";

// ---- Scenarios and scenario files ----------------------------------------------------------

// ---- Telephone numbers and the number editor -----------------------------------------------

// ---- Serial channel and the measuring modem ------------------------------------------------

// ---- Port thread, test call, cycle results and protocol ------------------------------------

// ---- Answering station ---------------------------------------------------------------------

// ---- Database and result report -----------------------------------------------------------

// ---- Command-line tools --------------------------------------------------------------------

}  // namespace str
}  // namespace zev7
