// The alerts of an unattended run, as the section "[Оповещение]" of "ZEV7.ini" sets them: after
// how many consecutive losses on a port (any category, or one and the same category) and after
// how many consecutive cycles judged "Ненорма" the operator is to be told, and which program
// is started for every alert. A port thread that ends with an error is always told once the
// section is there.
//
//   [Оповещение]
//   LossStreak=3
//   CategoryStreak=5
//   FailedCycles=2
//   Command=/home/operator/bin/notify.sh
//
// A key that is absent, empty or 0 switches its alert off. Without the section nothing is
// alerted at all, not even an error: the protocol stays as it always was for whoever has not
// asked for alerts.
#pragma once

#include <QString>
#include <QStringList>

namespace zev7 {

class IniFile;

inline constexpr char kAlertSection[] = "Оповещение";
// No measuring run makes this many calls or cycles in a row without a success; a greater
// number is a typing error rather than a wish.
inline constexpr int kMaxAlertThreshold = 100000;
// A command line longer than this is not a command someone typed.
inline constexpr int kMaxAlertCommandLength = 4096;

struct AlertSettings {
    int lossStreak = 0;      // consecutive losses of any category; 0: off
    int categoryStreak = 0;  // consecutive losses of one category; 0: off
    int failedCycles = 0;    // consecutive cycles judged "Ненорма"; 0: off
    QString command;         // program and arguments, split without a shell; empty: none
    bool enabled = false;    // the section exists: a thread's end with an error is alerted
};

// The section as the file holds it. Every value that is not an integer from 0 to
// kMaxAlertThreshold, and a command that cannot be split into a program and its arguments,
// adds a message to `problems` and switches that one alert (or the command) off; the rest
// stand.
AlertSettings readAlertSettings(const IniFile& ini, QStringList& problems);

}  // namespace zev7
